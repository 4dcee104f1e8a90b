// hvcutil origin: the origin of an interpretation object named by its data
// key: the seismic geometries it was picked on and, for a fault segment, the
// axis and position.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Interpretation.h"
#include "hvc_util/Session.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace hvcutil {

namespace {

const char* const usage = "show KEY | has-survey KEY GEOMETRY-KEY"
                          " [-session NAME | --keep] [-envfile FILE]";

using hvc_util::Interpretation;

EpDataStore::Data_ptr objectOf(EpSession::Session_ptr session, const std::string& key) {
    EpDataStore::Data_var data = hvc_util::Session::dataKeyToObject(session, key.c_str());
    if (CORBA::is_nil(data))
        throw std::runtime_error(key + ": no data store for this key");
    return data._retn();
}

EpiInterpretation::FeatureRepresentation_ptr representationOf(EpSession::Session_ptr session,
                                                              const std::string& key) {
    EpDataStore::Data_var data = objectOf(session, key);
    EpiInterpretation::FeatureRepresentation_var representation =
        EpiInterpretation::FeatureRepresentation::_narrow(data.in());
    if (CORBA::is_nil(representation))
        throw std::runtime_error(key + " is no feature representation");
    return representation._retn();
}

void show(EpiInterpretation::FeatureRepresentation_ptr representation) {
    CORBA::String_var name = representation->name();
    std::printf("representation: %s\n", name.in());
    CosPropertyService::Properties_var origin = representation->getOrigin();
    const EpiSeismic::SeismicGeometrySeq geometries =
        Interpretation::getSeismicGeometry(origin.in());
    const EpiSeismic::SeismicGeometry3dSeq surveys =
        Interpretation::getSeismicGeometry3d(origin.in());
    if (geometries.length() == 0)
        std::printf("geometry: -\n");
    for (CORBA::ULong i = 0; i < geometries.length(); ++i) {
        CORBA::String_var geometryName = geometries[i]->name();
        CORBA::String_var key = geometries[i]->getKeyString();
        std::printf("geometry: %s (%s)\n", geometryName.in(), key.in());
        if (!CORBA::is_nil(surveys[i])) {
            CORBA::Long first, last, step, xFirst, xLast, xStep;
            surveys[i]->getInlineRange(first, last, step);
            surveys[i]->getCrosslineRange(xFirst, xLast, xStep);
            EpCoordinateService::SeismicBinGridSystem_var grid = surveys[i]->getBinGridSystem();
            const std::string on = CORBA::is_nil(grid)
                                       ? ""
                                       : " on " + std::string(CORBA::String_var(grid->name()).in());
            std::printf("survey: inlines %ld-%ld step %ld, crosslines %ld-%ld step %ld%s\n",
                        static_cast<long>(first), static_cast<long>(last), static_cast<long>(step),
                        static_cast<long>(xFirst), static_cast<long>(xLast),
                        static_cast<long>(xStep), on.c_str());
        }
    }
    const Interpretation::FaultSegmentOrigin segment =
        Interpretation::getFaultSegmentOrigin(origin.in());
    if (segment.axisName == static_cast<const char*>(nullptr))
        std::printf("axis name: -\n");
    else
        std::printf("axis name: %s\n", segment.axisName.getValue());
    if (segment.axisIndex == Interpretation::AXIS_INDEX_NOT_SET)
        std::printf("axis index: -\n");
    else
        std::printf("axis index: %g\n", segment.axisIndex);
    std::fflush(stdout);
}

int run(const std::vector<std::string>& args) {
    std::vector<std::string> words = standardOptions(args);
    const bool keep = takeKeep(words);
    const bool showing = words.size() == 2 && words[0] == "show";
    const bool asking = words.size() == 3 && words[0] == "has-survey";
    if (!showing && !asking)
        return usageOf("origin", usage);
    CurrentSession session(keep);
    EpiInterpretation::FeatureRepresentation_var representation =
        representationOf(session.in(), words[1]);
    if (showing) {
        show(representation.in());
        return session.finish(exitOk);
    }
    EpDataStore::Data_var data = objectOf(session.in(), words[2]);
    EpiSeismic::SeismicGeometry_var geometry = EpiSeismic::SeismicGeometry::_narrow(data.in());
    if (CORBA::is_nil(geometry))
        throw std::runtime_error(words[2] + " is no seismic geometry");
    const bool on = Interpretation::hasSurvey(representation.in(), geometry.in());
    std::printf("%s\n", on ? "yes" : "no");
    std::fflush(stdout);
    return session.finish(on ? exitOk : exitNo);
}

const CommandRegistration registration(
    {"origin", usage,
     "show the origin of an interpretation object (its seismic geometries, and a fault "
     "segment's axis name and index), or say whether it was picked on a geometry; without "
     "-session in a temporary session, removed at the end unless --keep",
     run});

} // namespace

} // namespace hvcutil
