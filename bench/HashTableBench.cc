// HashTable add and fetch of 100,000 keys beside std::unordered_map. The
// tables are final classes, so their lookups call compare directly.
#include <hvc_util/HashTable.h>
#include <hvc_util/String.h>

#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int keys = 100000;

class IntTable final : public hvc_util::HashTable {
public:
    IntTable() : HashTable(false, 0) {}
    ~IntTable() override { flush(owner); }
    bool put(const int* item) { return add(hvc_util::getHash(*item), item, item); }
    const int* get(int key) {
        return static_cast<const int*>(fetch(hvc_util::getHash(key), &key, false, false));
    }

protected:
    bool compare(const void* item, const void* key) const override {
        return *static_cast<const int*>(item) == *static_cast<const int*>(key);
    }
    void deleteItem(const void*) override {}
};

// Names as the name-value sets use them: String items found by text.
class NameTable final : public hvc_util::HashTable {
public:
    NameTable() : HashTable(false, 51) {}
    ~NameTable() override { flush(owner); }
    bool put(const hvc_util::String* item) { return add(item->getHash(), item, item); }
    const hvc_util::String* get(const hvc_util::String& key) {
        return static_cast<const hvc_util::String*>(fetch(key.getHash(), &key, false, false));
    }

protected:
    bool compare(const void* item, const void* key) const override {
        return *static_cast<const hvc_util::String*>(item) ==
               *static_cast<const hvc_util::String*>(key);
    }
    void deleteItem(const void*) override {}
};

std::vector<int> intKeys() {
    std::vector<int> v(keys);
    for (int i = 0; i < keys; ++i)
        v[i] = i * 7919;
    return v;
}

std::vector<hvc_util::String> nameKeys() {
    std::vector<hvc_util::String> v;
    v.reserve(keys);
    for (int i = 0; i < keys; ++i) {
        hvc_util::String s("property.");
        s << i;
        v.push_back(s);
    }
    return v;
}

void BM_HashTableAddInt(benchmark::State& state) {
    const std::vector<int> k = intKeys();
    for (auto _ : state) {
        IntTable t;
        for (const int& key : k)
            t.put(&key);
        benchmark::DoNotOptimize(t.cardinality());
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_UnorderedMapAddInt(benchmark::State& state) {
    const std::vector<int> k = intKeys();
    for (auto _ : state) {
        std::unordered_map<int, const int*> m;
        for (const int& key : k)
            m.emplace(key, &key);
        benchmark::DoNotOptimize(m.size());
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_HashTableFetchInt(benchmark::State& state) {
    const std::vector<int> k = intKeys();
    IntTable t;
    for (const int& key : k)
        t.put(&key);
    for (auto _ : state) {
        for (int key : k)
            benchmark::DoNotOptimize(t.get(key));
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_UnorderedMapFetchInt(benchmark::State& state) {
    const std::vector<int> k = intKeys();
    std::unordered_map<int, const int*> m;
    for (const int& key : k)
        m.emplace(key, &key);
    for (auto _ : state) {
        for (int key : k)
            benchmark::DoNotOptimize(m.find(key)->second);
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_HashTableAddName(benchmark::State& state) {
    const std::vector<hvc_util::String> k = nameKeys();
    for (auto _ : state) {
        NameTable t;
        for (const hvc_util::String& key : k)
            t.put(&key);
        benchmark::DoNotOptimize(t.cardinality());
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_UnorderedMapAddName(benchmark::State& state) {
    const std::vector<hvc_util::String> k = nameKeys();
    for (auto _ : state) {
        std::unordered_map<std::string, const hvc_util::String*> m;
        for (const hvc_util::String& key : k)
            m.emplace(key.getValue(), &key);
        benchmark::DoNotOptimize(m.size());
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_HashTableFetchName(benchmark::State& state) {
    const std::vector<hvc_util::String> k = nameKeys();
    NameTable t;
    for (const hvc_util::String& key : k)
        t.put(&key);
    for (auto _ : state) {
        for (const hvc_util::String& key : k)
            benchmark::DoNotOptimize(t.get(key));
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

void BM_UnorderedMapFetchName(benchmark::State& state) {
    const std::vector<hvc_util::String> k = nameKeys();
    std::unordered_map<std::string, const hvc_util::String*> m;
    for (const hvc_util::String& key : k)
        m.emplace(key.getValue(), &key);
    std::vector<std::string> lookups;
    for (const hvc_util::String& key : k)
        lookups.emplace_back(key.getValue());
    for (auto _ : state) {
        for (const std::string& key : lookups)
            benchmark::DoNotOptimize(m.find(key)->second);
    }
    state.SetItemsProcessed(state.iterations() * keys);
}

} // namespace

BENCHMARK(BM_HashTableAddInt);
BENCHMARK(BM_UnorderedMapAddInt);
BENCHMARK(BM_HashTableFetchInt);
BENCHMARK(BM_UnorderedMapFetchInt);
BENCHMARK(BM_HashTableAddName);
BENCHMARK(BM_UnorderedMapAddName);
BENCHMARK(BM_HashTableFetchName);
BENCHMARK(BM_UnorderedMapFetchName);

HVC_BENCH_RATIO("BM_HashTableAddInt", "BM_UnorderedMapAddInt");
HVC_BENCH_RATIO("BM_HashTableFetchInt", "BM_UnorderedMapFetchInt");
HVC_BENCH_RATIO("BM_HashTableAddName", "BM_UnorderedMapAddName");
HVC_BENCH_RATIO("BM_HashTableFetchName", "BM_UnorderedMapFetchName");
