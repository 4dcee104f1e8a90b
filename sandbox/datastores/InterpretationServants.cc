#include "InterpretationServants.h"

#include "DataStore.h"

#include "sandbox/common/DataKeyText.h"
#include "sandbox/common/JsonMembers.h"

#include <EpCoordinateService.hh>

#include <cstring>
#include <stdexcept>

namespace hvc_sandbox {

EpCoordinateService::SeismicBinGridSystem_ptr SeismicGeometry3dServant::getBinGridSystem() {
    EpCoordinateService::System_var system = getSystem();
    return EpCoordinateService::SeismicBinGridSystem::_narrow(system.in());
}

void SeismicGeometry3dServant::getInlineRange(CORBA::Long& first, CORBA::Long& last,
                                              CORBA::Long& step) {
    first = inlines.first, last = inlines.last, step = inlines.step;
}

void SeismicGeometry3dServant::getCrosslineRange(CORBA::Long& first, CORBA::Long& last,
                                                 CORBA::Long& step) {
    first = crosslines.first, last = crosslines.last, step = crosslines.step;
}

DosTypes::StringSeq* SeismicGeometry2dServant::getLineNames() {
    DosTypes::StringSeq_var names = new DosTypes::StringSeq;
    names->length(static_cast<CORBA::ULong>(lines.size()));
    for (CORBA::ULong i = 0; i < names->length(); ++i)
        names[i] = lines[i].name.c_str();
    return names._retn();
}

EpTypes::PointSeq* SeismicGeometry2dServant::getTraceLocations(const char* lineName) {
    for (const Line& line : lines) {
        if (line.name != lineName)
            continue;
        EpTypes::PointSeq_var points = new EpTypes::PointSeq(line.traces);
        points->length(line.traces);
        for (CORBA::ULong i = 0; i < line.traces; ++i) {
            points[i].x = line.x + i * line.dx;
            points[i].y = line.y + i * line.dy;
            points[i].z = 0;
        }
        return points._retn();
    }
    CORBA::String_var geometry = name();
    throw EpTypes::BadArgumentsException(
        (std::string("No line '") + lineName + "' in " + geometry.in()).c_str());
}

EpiInterpretation::FaultRepresentation_ptr FaultSegmentServant::getFault() {
    EpDataStore::Data_var fault = store.object(faultKey);
    return EpiInterpretation::FaultRepresentation::_narrow(fault.in());
}

namespace {

using Object = StoreCatalogue::Object;

const char* const geometry3d = EpiSeismic::SeismicGeometry3d::_PD_repoId;
const char* const geometry2d = EpiSeismic::SeismicGeometry2d::_PD_repoId;
const char* const horizon = EpiInterpretation::HorizonRepresentation::_PD_repoId;
const char* const fault = EpiInterpretation::FaultRepresentation::_PD_repoId;
const char* const faultSegment = EpiInterpretation::FaultSegment::_PD_repoId;

std::string whereOf(const StoreCatalogue::Store& catalogue, const Object& object) {
    return "data store " + catalogue.name + ", object " + object.localKey + " of project " +
           object.projectName;
}

// The object of the same project that `member` names by local key, which must
// be of one of the `types`.
const Object& sibling(const StoreCatalogue::Store& catalogue, const Object& object,
                      const std::string& localKey, std::initializer_list<const char*> types,
                      const std::string& where) {
    for (const Object& o : catalogue.objects) {
        if (o.projectName != object.projectName || o.localKey != localKey)
            continue;
        for (const char* type : types)
            if (o.dataType == type)
                return o;
        throw std::runtime_error(where + ": " + localKey + " is a " + o.dataType);
    }
    throw std::runtime_error(where + ": project " + object.projectName + " has no object " +
                             localKey);
}

SeismicGeometry3dServant::Range range(const nlohmann::json& entry, const char* member,
                                      const std::string& where) {
    const nlohmann::json& r = JsonMembers::array(entry, member, where);
    if (r.size() != 3 || !r[0].is_number_integer() || !r[1].is_number_integer() ||
        !r[2].is_number_integer() || r[2].get<long>() <= 0 || r[1].get<long>() < r[0].get<long>())
        throw std::runtime_error(where + ": \"" + member +
                                 "\" must be [first, last, step], whole numbers with first <= "
                                 "last and step > 0");
    return {r[0].get<CORBA::Long>(), r[1].get<CORBA::Long>(), r[2].get<CORBA::Long>()};
}

// [x, y] of a 2D line.
void pair(const nlohmann::json& line, const char* member, const std::string& where, double& x,
          double& y) {
    const nlohmann::json& p = JsonMembers::array(line, member, where);
    if (p.size() != 2 || !p[0].is_number() || !p[1].is_number())
        throw std::runtime_error(where + ": \"" + member + "\" must be [x, y]");
    x = p[0].get<double>();
    y = p[1].get<double>();
}

std::vector<SeismicGeometry2dServant::Line> lines(const nlohmann::json& entry,
                                                  const std::string& where) {
    std::vector<SeismicGeometry2dServant::Line> out;
    for (const nlohmann::json& l : JsonMembers::array(entry, "lines", where)) {
        const std::string at = where + ", line " + std::to_string(out.size() + 1);
        if (!l.is_object())
            throw std::runtime_error(at + " must be an object");
        SeismicGeometry2dServant::Line line;
        line.name = JsonMembers::text(l, "name", at);
        pair(l, "first", at, line.x, line.y);
        pair(l, "step", at, line.dx, line.dy);
        const long traces = JsonMembers::wholeNumber(l, "traces", at);
        if (traces < 1 || traces > 1000000)
            throw std::runtime_error(at + ": \"traces\" must be from 1 to 1000000");
        line.traces = static_cast<CORBA::ULong>(traces);
        out.push_back(line);
    }
    return out;
}

// The origin of the entry's "origin" member (none: an empty origin): its
// geometries, then its axis name, then its axis index, as the library builds
// fault segment origins.
StoredOrigin origin(const StoreCatalogue::Store& catalogue, const Object& object,
                    const std::string& where) {
    StoredOrigin kept;
    auto found = object.entry.find("origin");
    if (found == object.entry.end())
        return kept;
    const nlohmann::json& o = *found;
    const std::string at = where + ", origin";
    if (!o.is_object())
        throw std::runtime_error(at + " must be an object");
    if (o.contains("geometries")) {
        for (const nlohmann::json& g : JsonMembers::array(o, "geometries", at)) {
            if (!g.is_string())
                throw std::runtime_error(at + ": \"geometries\" must list local keys");
            const Object& geometry =
                sibling(catalogue, object, g.get<std::string>(), {geometry3d, geometry2d}, at);
            StoredOrigin::Entry e;
            e.name = EpiInterpretation::SEISMIC_GEOMETRY_KIND;
            e.kind = StoredOrigin::Kind::Object;
            e.text = DataKeyText::current(catalogue.name, geometry.projectName, geometry.localKey);
            e.interfaceId = geometry.dataType;
            kept.entries.push_back(e);
        }
    }
    if (o.contains("axisName")) {
        StoredOrigin::Entry e;
        e.name = EpiInterpretation::AXIS_NAME_KIND;
        e.text = JsonMembers::text(o, "axisName", at);
        bool known = false;
        for (const char* axis : {EpCoordinateService::INLINE, EpCoordinateService::XLINE,
                                 EpCoordinateService::TIME, EpCoordinateService::DEPTH})
            known = known || e.text == axis;
        if (!known)
            throw std::runtime_error(at +
                                     ": \"axisName\" must be Inline, Crossline, Time or Depth");
        kept.entries.push_back(e);
    }
    if (o.contains("axisIndex")) {
        if (!o.contains("axisName"))
            throw std::runtime_error(at + ": \"axisIndex\" needs an \"axisName\"");
        StoredOrigin::Entry e;
        e.name = EpiInterpretation::AXIS_INDEX_KIND;
        e.kind = StoredOrigin::Kind::Number;
        e.number = JsonMembers::number(o, "axisIndex", at);
        kept.entries.push_back(e);
    }
    return kept;
}

} // namespace

PortableServer::ServantBase*
InterpretationObjects::make(const EpDataStore::DataKey& key, const std::string& keyText,
                            const Object& object, const StoreCatalogue::Store& catalogue,
                            const DataStore& store, const SystemLookup& systems) {
    const std::string where = whereOf(catalogue, object);
    const nlohmann::json& entry = object.entry;
    const std::string& type = object.dataType;
    if (type == geometry3d)
        return new SeismicGeometry3dServant(key, keyText, JsonMembers::text(entry, "name", where),
                                            JsonMembers::text(entry, "system", where), systems,
                                            range(entry, "inlines", where),
                                            range(entry, "crosslines", where));
    if (type == geometry2d)
        return new SeismicGeometry2dServant(key, keyText, JsonMembers::text(entry, "name", where),
                                            JsonMembers::text(entry, "system", where), systems,
                                            lines(entry, where));
    if (type == horizon)
        return new HorizonServant(key, keyText, JsonMembers::text(entry, "name", where), store,
                                  origin(catalogue, object, where),
                                  JsonMembers::text(entry, "classification", where));
    if (type == fault)
        return new FaultServant(key, keyText, JsonMembers::text(entry, "name", where), store,
                                origin(catalogue, object, where),
                                JsonMembers::text(entry, "classification", where));
    if (type == faultSegment) {
        const Object& of =
            sibling(catalogue, object, JsonMembers::text(entry, "fault", where), {fault}, where);
        return new FaultSegmentServant(
            key, keyText, JsonMembers::text(entry, "name", where), store,
            origin(catalogue, object, where),
            DataKeyText::current(catalogue.name, of.projectName, of.localKey));
    }
    return nullptr;
}

} // namespace hvc_sandbox
