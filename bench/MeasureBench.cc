// Measurement beside its peers: the cached metre() beside a bare _duplicate,
// convert of a million doubles beside the plain loop, and applyTransformation
// of 100000 points through an hvc-sandbox process beside proj_trans_generic
// on the same points in this process.
#include "hvc_util/Coordinate.h"
#include "hvc_util/UnitOfMeasure.h"
#include "support/BenchMain.h"
#include "support/ChildSandbox.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cstdlib>
#include <memory>

namespace {

namespace Cs = EpCoordinateService;
namespace Uom = EpUnitOfMeasureService;

// The platform in an hvc-sandbox process. 100000 points are 2.4 MB, past
// omniORB's default 2 MB message limit: both processes take a larger one.
void sandbox() {
    ::setenv("ORBgiopMaxMsgSize", "16777216", 1);
    hvc_bench::startChildSandbox({}, "");
}

Uom::Linear_ptr cachedMetre() {
    sandbox();
    static Uom::Linear_var metre = hvc_util::UnitOfMeasure::metre();
    return metre.in();
}

void BM_CachedMetre(benchmark::State& state) {
    cachedMetre();
    for (auto _ : state) {
        Uom::Linear_var m = hvc_util::UnitOfMeasure::metre();
        benchmark::DoNotOptimize(m.in());
    }
}
BENCHMARK(BM_CachedMetre);

void BM_PeerDuplicate(benchmark::State& state) {
    Uom::Linear_ptr cached = cachedMetre();
    for (auto _ : state) {
        Uom::Linear_var m = Uom::Linear::_duplicate(cached);
        benchmark::DoNotOptimize(m.in());
    }
}
BENCHMARK(BM_PeerDuplicate);
HVC_BENCH_RATIO("BM_CachedMetre", "BM_PeerDuplicate");

const Uom::Unit::Conversion feetToMetres = {0, 0.3048, 1, 0};

DosTypes::DoubleSeq depths(CORBA::ULong n) {
    DosTypes::DoubleSeq values;
    values.length(n);
    for (CORBA::ULong i = 0; i < n; ++i)
        values[i] = 1000.0 + 0.25 * i;
    return values;
}

void BM_ConvertSequence(benchmark::State& state) {
    const DosTypes::DoubleSeq values = depths(static_cast<CORBA::ULong>(state.range(0)));
    for (auto _ : state) {
        DosTypes::DoubleSeq out = hvc_util::UnitOfMeasure::convert(values, feetToMetres);
        benchmark::DoNotOptimize(out.get_buffer());
    }
}
BENCHMARK(BM_ConvertSequence)->Arg(1000000);

void BM_PeerPlainLoop(benchmark::State& state) {
    const DosTypes::DoubleSeq values = depths(static_cast<CORBA::ULong>(state.range(0)));
    const std::size_t n = values.length();
    const double a = feetToMetres.a, b = feetToMetres.b, c = feetToMetres.c, d = feetToMetres.d;
    for (auto _ : state) {
        std::unique_ptr<double[]> out(new double[n]);
        const double* in = values.get_buffer();
        for (std::size_t i = 0; i < n; ++i)
            out[i] = (b * in[i] + a) / (d * in[i] + c);
        benchmark::DoNotOptimize(out.get());
    }
}
BENCHMARK(BM_PeerPlainLoop)->Arg(1000000);
HVC_BENCH_RATIO("BM_ConvertSequence/1000000", "BM_PeerPlainLoop/1000000");

// Points around 5 E 52 N.
EpTypes::PointSeq wells(CORBA::ULong n) {
    EpTypes::PointSeq points;
    points.length(n);
    for (CORBA::ULong i = 0; i < n; ++i) {
        points[i].x = 4.0 + 2.0 * (i % 1000) / 1000.0;
        points[i].y = 51.0 + 2.0 * (i / 1000) / 100.0;
        points[i].z = 0;
    }
    return points;
}

void BM_TransformThroughSandbox(benchmark::State& state) {
    sandbox();
    Cs::Finder_var finder = hvc_util::Coordinate::getFinder();
    Cs::Coordinates in;
    in.system = finder->findSystem("EPSG:4326");
    in.points = wells(static_cast<CORBA::ULong>(state.range(0)));
    Cs::System_var utm = finder->findSystem("EPSG:32631");
    for (auto _ : state) {
        Cs::Coordinates out = hvc_util::Coordinate::applyTransformation(in, utm);
        benchmark::DoNotOptimize(out.points.get_buffer());
    }
}
BENCHMARK(BM_TransformThroughSandbox)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PeerProjTransGeneric(benchmark::State& state) {
    PJ_CONTEXT* context = proj_context_create();
    proj_context_set_enable_network(context, 0);
    PJ* raw = proj_create_crs_to_crs(context, "EPSG:4326", "EPSG:32631", nullptr);
    PJ* op = proj_normalize_for_visualization(context, raw);
    proj_destroy(raw);
    const EpTypes::PointSeq points = wells(static_cast<CORBA::ULong>(state.range(0)));
    for (auto _ : state) {
        EpTypes::PointSeq out(points);
        const std::size_t n = out.length();
        double* xyz = &out[0].x;
        proj_trans_generic(op, PJ_FWD, xyz, sizeof(EpTypes::Point), n, xyz + 1,
                           sizeof(EpTypes::Point), n, xyz + 2, sizeof(EpTypes::Point), n, nullptr,
                           0, 0);
        benchmark::DoNotOptimize(out.get_buffer());
    }
    proj_destroy(op);
    proj_context_destroy(context);
}
BENCHMARK(BM_PeerProjTransGeneric)->Arg(100000)->Unit(benchmark::kMillisecond);
HVC_BENCH_RATIO("BM_TransformThroughSandbox/100000", "BM_PeerProjTransGeneric/100000");

} // namespace
