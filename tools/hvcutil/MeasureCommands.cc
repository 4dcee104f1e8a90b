// hvcutil units, coord, ellipsoid and angle: the measurement classes of the
// library against the platform's unit and coordinate services.
#include "CommandTable.h"
#include "Reporting.h"

#include "hvc_util/Coordinate.h"
#include "hvc_util/CoordinateAngle.h"
#include "hvc_util/UnitOfMeasure.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace hvcutil {

namespace {

namespace Cs = EpCoordinateService;
namespace Uom = EpUnitOfMeasureService;

const char* const unitsUsage = "convert VALUE FROM TO | list";
const char* const coordUsage = "transform FROM TO X Y [Z]";
const char* const ellipsoidUsage = "SEMI_MAJOR SEMI_MINOR";
const char* const angleUsage = "VALUE FROM TO X Y";

// The whole word as a number; false for anything else.
bool number(const std::string& word, double& out) {
    char* end = nullptr;
    out = std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0';
}

bool numbers(const std::vector<std::string>& words, std::size_t from, std::vector<double>& out) {
    out.assign(words.size() - from, 0);
    for (std::size_t i = from; i < words.size(); ++i)
        if (!number(words[i], out[i - from])) {
            std::fprintf(stderr, "hvcutil: not a number: '%s'\n", words[i].c_str());
            return false;
        }
    return true;
}

Cs::System_ptr system(const std::string& name) {
    Cs::Finder_var finder = hvc_util::Coordinate::getFinder();
    return finder->findSystem(name.c_str());
}

int units(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "list") {
        Uom::Finder_var finder = hvc_util::UnitOfMeasure::getFinder();
        DosTypes::StringSeq_var acronyms = finder->getAcronyms();
        for (CORBA::ULong i = 0; i < acronyms->length(); ++i) {
            Uom::Unit_var unit = finder->findUnit(acronyms[i]);
            CORBA::String_var name = unit->name();
            std::printf("%s\t%s\n", acronyms[i].in(), name.in());
        }
        return exitOk;
    }
    std::vector<double> value;
    if (args.size() != 4 || args[0] != "convert")
        return usageOf("units", unitsUsage);
    if (!numbers({args[1]}, 0, value))
        return exitUsage;
    Uom::Unit_var from = hvc_util::UnitOfMeasure::getUnit(args[2].c_str());
    Uom::Unit_var to = hvc_util::UnitOfMeasure::getUnit(args[3].c_str());
    std::printf("%.15g\n", hvc_util::UnitOfMeasure::convert(value[0], from->getConversion(to)));
    return exitOk;
}

int coord(const std::vector<std::string>& args) {
    std::vector<double> xyz;
    if ((args.size() != 5 && args.size() != 6) || args[0] != "transform")
        return usageOf("coord", coordUsage);
    if (!numbers(args, 3, xyz))
        return exitUsage;
    xyz.resize(3, 0.0);
    Cs::System_var from = system(args[1]);
    const Cs::Coordinate there = hvc_util::Coordinate::applyTransformation(
        hvc_util::Coordinate::makeCoordinate(xyz[0], xyz[1], xyz[2], from.in()), system(args[2]));
    std::printf("%.9f %.9f %.9f\n", there.point.x, there.point.y, there.point.z);
    return exitOk;
}

int ellipsoid(const std::vector<std::string>& args) {
    std::vector<double> axes;
    if (args.size() != 2)
        return usageOf("ellipsoid", ellipsoidUsage);
    if (!numbers(args, 0, axes))
        return exitUsage;
    hvc_util::Coordinate coordinate;
    const Cs::Ellipsoid e = coordinate.getSimilarEllipsoid(axes[0], axes[1]);
    std::printf("%s a=%.15g rf=%.15g (%s)\n", e.name.in(), e.semiMajorAxis, e.inverseFlattening,
                e.description.in());
    return exitOk;
}

int angle(const std::vector<std::string>& args) {
    std::vector<double> value, location;
    if (args.size() != 5)
        return usageOf("angle", angleUsage);
    if (!numbers({args[0]}, 0, value) || !numbers(args, 3, location))
        return exitUsage;
    EpiTypes::CoordinateAngle azimuth;
    azimuth.value = value[0];
    azimuth.system = system(args[1]);
    azimuth.referenceAxis = EpiTypes::COORD_AXIS_2;
    azimuth.unit = hvc_util::UnitOfMeasure::dega();
    const Cs::Coordinate at =
        hvc_util::Coordinate::makeCoordinate(location[0], location[1], 0, azimuth.system.in());
    const EpiTypes::CoordinateAngle there = hvc_util::CoordinateAngle().applyTransformation(
        azimuth, at, system(args[2]), Uom::Angular::_nil());
    std::printf("%.9f dega\n", there.value);
    return exitOk;
}

const CommandRegistration unitsCommand({"units", unitsUsage,
                                        "convert a value between two units of the units "
                                        "service, or list its units",
                                        units});
const CommandRegistration coordCommand({"coord", coordUsage,
                                        "carry a point from one coordinate system into another "
                                        "(systems by name, e.g. EPSG:4326)",
                                        coord});
const CommandRegistration ellipsoidCommand({"ellipsoid", ellipsoidUsage,
                                            "the catalogued ellipsoid of these axes (metres)",
                                            ellipsoid});
const CommandRegistration angleCommand({"angle", angleUsage,
                                        "carry an angle in degrees, counterclockwise from the "
                                        "second axis, from one system into another at X Y",
                                        angle});

} // namespace

} // namespace hvcutil
