// findOffers of 100 offers beside the raw trader calls it wraps: the query and
// the iterator's destroy, then also the existence probe of every offer. The
// trader runs in an hvc-sandbox process of its own, so every call crosses
// IIOP as on a platform.
#include "hvc_util/Trader.h"
#include "support/BenchMain.h"
#include "support/ChildSandbox.h"

#include <benchmark/benchmark.h>

namespace {

const char* const thing = "IDL:Bench/Thing:1.0";

CosTrading::Lookup::SpecifiedProps all() {
    CosTrading::Lookup::SpecifiedProps desired;
    desired._d(CosTrading::Lookup::all);
    return desired;
}

// 150 offers of the sandbox's own lookup in a child sandbox, exported
// through the library; the library's lookup reference, resolved once.
CosTrading::Lookup_ptr trader() {
    static CosTrading::Lookup_var lookup;
    if (CORBA::is_nil(lookup)) {
        hvc_bench::startChildSandbox({"--service-type", thing}, "bench");
        lookup = hvc_util::Trader::lookupTradingService();
        for (int i = 0; i < 150; ++i) {
            CosTrading::PropertySeq properties;
            properties.length(1);
            properties[0].name = "N";
            properties[0].value <<= static_cast<CORBA::Long>(i);
            CORBA::String_var id = hvc_util::Trader::exportObject(lookup.in(), thing, properties);
        }
    }
    return lookup.in();
}

// The raw calls findOffers makes: the query, the iterator's destroy and,
// when `probe`, the existence probe of each offer.
CORBA::ULong rawFind(CosTrading::Lookup_ptr lookup, bool probe) {
    CosTrading::OfferSeq_var offers;
    CosTrading::OfferIterator_var rest;
    CosTrading::PolicyNameSeq_var limits;
    lookup->query(thing, "", "", CosTrading::PolicySeq(), all(), 100, offers.out(), rest.out(),
                  limits.out());
    if (!CORBA::is_nil(rest))
        rest->destroy();
    CORBA::ULong live = offers->length();
    if (probe)
        for (CORBA::ULong i = 0; i < offers->length(); ++i)
            live -= offers[i].reference->_non_existent() ? 1 : 0;
    return live;
}

void BM_FindOffers100(benchmark::State& state) {
    trader();
    for (auto _ : state) {
        CosTrading::OfferSeq_var offers = hvc_util::Trader::findOffers(thing, "", all());
        if (offers->length() != 100)
            state.SkipWithError("findOffers did not return 100 offers");
    }
}
BENCHMARK(BM_FindOffers100)->UseRealTime();

void BM_PeerQueryAndIterator(benchmark::State& state) {
    CosTrading::Lookup_ptr lookup = trader();
    for (auto _ : state)
        benchmark::DoNotOptimize(rawFind(lookup, false));
}
BENCHMARK(BM_PeerQueryAndIterator)->UseRealTime();

void BM_PeerQueryIteratorAndProbes(benchmark::State& state) {
    CosTrading::Lookup_ptr lookup = trader();
    for (auto _ : state)
        if (rawFind(lookup, true) != 100)
            state.SkipWithError("an offered object is gone");
}
BENCHMARK(BM_PeerQueryIteratorAndProbes)->UseRealTime();

HVC_BENCH_RATIO("BM_FindOffers100/real_time", "BM_PeerQueryAndIterator/real_time");
HVC_BENCH_RATIO("BM_FindOffers100/real_time", "BM_PeerQueryIteratorAndProbes/real_time");

} // namespace
