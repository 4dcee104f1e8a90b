// dataKeysToObjects of 1000 older keys of one store beside 1000 bare
// createData calls on the store's existing-data factory. The store runs in an
// hvc-sandbox process of its own, so every call crosses IIOP.
#include "hvc_util/FactoryFinder.h"
#include "hvc_util/Session.h"
#include "support/BenchMain.h"
#include "support/ChildSandbox.h"

#include <benchmark/benchmark.h>

namespace {

const char* const olderKey = "well-A1|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo";
const CORBA::ULong keyCount = 1000;

// A session of a child sandbox, made through the library.
EpSession::Session_ptr session() {
    static EpSession::Session_var made;
    if (CORBA::is_nil(made)) {
        hvc_bench::startChildSandbox({}, "bench");
        made = hvc_util::Session::createSession("bench", EpProject::ProjectSet::_nil());
    }
    return made.in();
}

void BM_DataKeysToObjects1000(benchmark::State& state) {
    EpSession::Session_ptr s = session();
    DosTypes::StringSeq keys;
    keys.length(keyCount);
    for (CORBA::ULong i = 0; i < keyCount; ++i)
        keys[i] = olderKey;
    for (auto _ : state) {
        EpTypes::KeyConversionErrorSeq* errors = nullptr;
        EpDataStore::DataSeq_var objects = hvc_util::Session::dataKeysToObjects(s, keys, errors);
        const bool failed = errors->length() != 0;
        delete errors;
        if (failed || CORBA::is_nil(objects[keyCount - 1]))
            state.SkipWithError("a key did not convert");
    }
}
BENCHMARK(BM_DataKeysToObjects1000)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PeerCreateData1000(benchmark::State& state) {
    EpSession::Session_ptr s = session();
    EpDataStore::DataKey key;
    key.storeName = "Sandbox";
    key.factoryType = "SandboxStore";
    key.projectName = "Demo";
    key.dataType = EpDataStore::Data::_PD_repoId;
    key.localKey = "well-A1";
    CORBA::Object_var found =
        hvc_util::FactoryFinder::findFactory(s, key, EpDataStore::ExistingDataFactory::_PD_repoId);
    EpDataStore::ExistingDataFactory_var factory =
        EpDataStore::ExistingDataFactory::_narrow(found.in());
    for (auto _ : state) {
        for (CORBA::ULong i = 0; i < keyCount; ++i) {
            EpDataStore::Data_var data = factory->createData(key, s);
            benchmark::DoNotOptimize(data.in());
        }
    }
}
BENCHMARK(BM_PeerCreateData1000)->UseRealTime()->Unit(benchmark::kMillisecond);

HVC_BENCH_RATIO("BM_DataKeysToObjects1000/real_time", "BM_PeerCreateData1000/real_time");

} // namespace
