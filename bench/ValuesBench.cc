// Name-value set lookups and conversions beside std::unordered_map, and value
// formatting of long string and property lists beside std::string.
#include <hvc_util/NVPSet.h>
#include <hvc_util/Types.h>

#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int pairs = 1000;
constexpr CORBA::ULong listStrings = 100000;
constexpr CORBA::ULong listProperties = 10000;

// Copying values that hold texts needs the ORB.
void orbReady() {
    int argc = 0;
    CORBA::ORB_var orb = CORBA::ORB_init(argc, nullptr);
}

std::vector<std::string> names() {
    std::vector<std::string> v;
    for (int i = 0; i < pairs; ++i)
        v.push_back("property." + std::to_string(i));
    return v;
}

CORBA::Any text(const std::string& s) {
    CORBA::Any value;
    value <<= s.c_str();
    return value;
}

hvc_util::NVPSet filledSet(const std::vector<std::string>& keys) {
    hvc_util::NVPSet set;
    for (const std::string& k : keys)
        set.value(k.c_str(), text("value of " + k));
    return set;
}

std::unordered_map<std::string, CORBA::Any> filledMap(const std::vector<std::string>& keys) {
    std::unordered_map<std::string, CORBA::Any> map;
    for (const std::string& k : keys)
        map.emplace(k, text("value of " + k));
    return map;
}

// Both are asked by a plain C text and hand back a copy of the value.
void BM_NVPSetValue(benchmark::State& state) {
    orbReady();
    const std::vector<std::string> keys = names();
    const hvc_util::NVPSet set = filledSet(keys);
    for (auto _ : state) {
        for (const std::string& k : keys) {
            CORBA::Any v = set.value(k.c_str());
            benchmark::DoNotOptimize(&v);
        }
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}

void BM_UnorderedMapValue(benchmark::State& state) {
    orbReady();
    const std::vector<std::string> keys = names();
    const auto map = filledMap(keys);
    for (auto _ : state) {
        for (const std::string& k : keys) {
            auto it = map.find(k.c_str());
            CORBA::Any v = it != map.end() ? it->second : CORBA::Any();
            benchmark::DoNotOptimize(&v);
        }
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}

void BM_NVPSetHas(benchmark::State& state) {
    orbReady();
    const std::vector<std::string> keys = names();
    const hvc_util::NVPSet set = filledSet(keys);
    for (auto _ : state) {
        for (const std::string& k : keys)
            benchmark::DoNotOptimize(set.has(k.c_str()));
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}

void BM_UnorderedMapHas(benchmark::State& state) {
    orbReady();
    const std::vector<std::string> keys = names();
    const auto map = filledMap(keys);
    for (auto _ : state) {
        for (const std::string& k : keys)
            benchmark::DoNotOptimize(map.count(k.c_str()));
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}

void BM_NVPSetProperties(benchmark::State& state) {
    orbReady();
    const hvc_util::NVPSet set = filledSet(names());
    for (auto _ : state) {
        std::unique_ptr<CosPropertyService::Properties> p(set.properties());
        benchmark::DoNotOptimize(p->length());
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}

void BM_UnorderedMapProperties(benchmark::State& state) {
    orbReady();
    const auto map = filledMap(names());
    for (auto _ : state) {
        auto p = std::make_unique<CosPropertyService::Properties>(map.size());
        p->length(static_cast<CORBA::ULong>(map.size()));
        CORBA::ULong i = 0;
        for (const auto& [name, value] : map) {
            (*p)[i].property_name = name.c_str();
            (*p)[i].property_value = value;
            ++i;
        }
        benchmark::DoNotOptimize(p->length());
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}

DosTypes::StringSeq stringList() {
    DosTypes::StringSeq seq;
    seq.length(listStrings);
    for (CORBA::ULong i = 0; i < listStrings; ++i)
        seq[i] = ("project" + std::to_string(i)).c_str();
    return seq;
}

CosPropertyService::Properties propertyList() {
    CosPropertyService::Properties p;
    p.length(listProperties);
    for (CORBA::ULong i = 0; i < listProperties; ++i) {
        std::string n = std::to_string(i);
        p[i].property_name = ("property." + n).c_str();
        p[i].property_value <<= ("value of " + n).c_str();
    }
    return p;
}

void BM_TypesStringSeq(benchmark::State& state) {
    orbReady();
    const DosTypes::StringSeq seq = stringList();
    for (auto _ : state) {
        hvc_util::String s = hvc_util::Types::toString(seq);
        benchmark::DoNotOptimize(s.getValue());
    }
    state.SetItemsProcessed(state.iterations() * listStrings);
}

void BM_StdStringStringSeq(benchmark::State& state) {
    orbReady();
    const DosTypes::StringSeq seq = stringList();
    for (auto _ : state) {
        std::string s = "[";
        for (CORBA::ULong i = 0; i < seq.length(); ++i) {
            if (i > 0)
                s += ',';
            s += '"';
            s += seq[i].in();
            s += '"';
        }
        s += ']';
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * listStrings);
}

void BM_TypesProperties(benchmark::State& state) {
    orbReady();
    const CosPropertyService::Properties p = propertyList();
    for (auto _ : state) {
        hvc_util::String s = hvc_util::Types::toString(p);
        benchmark::DoNotOptimize(s.getValue());
    }
    state.SetItemsProcessed(state.iterations() * listProperties);
}

void BM_StdStringProperties(benchmark::State& state) {
    orbReady();
    const CosPropertyService::Properties p = propertyList();
    for (auto _ : state) {
        std::string s;
        for (CORBA::ULong i = 0; i < p.length(); ++i) {
            const char* value = nullptr;
            s += p[i].property_name.in();
            s += ' ';
            if (p[i].property_value >>= value)
                s += value;
            s += '\n';
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * listProperties);
}

} // namespace

BENCHMARK(BM_NVPSetValue);
BENCHMARK(BM_UnorderedMapValue);
BENCHMARK(BM_NVPSetHas);
BENCHMARK(BM_UnorderedMapHas);
BENCHMARK(BM_NVPSetProperties);
BENCHMARK(BM_UnorderedMapProperties);
BENCHMARK(BM_TypesStringSeq);
BENCHMARK(BM_StdStringStringSeq);
BENCHMARK(BM_TypesProperties);
BENCHMARK(BM_StdStringProperties);

HVC_BENCH_RATIO("BM_NVPSetValue", "BM_UnorderedMapValue");
HVC_BENCH_RATIO("BM_NVPSetHas", "BM_UnorderedMapHas");
HVC_BENCH_RATIO("BM_NVPSetProperties", "BM_UnorderedMapProperties");
HVC_BENCH_RATIO("BM_TypesStringSeq", "BM_StdStringStringSeq");
HVC_BENCH_RATIO("BM_TypesProperties", "BM_StdStringProperties");
