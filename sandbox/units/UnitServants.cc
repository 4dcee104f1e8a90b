#include "UnitServants.h"

#include "UnitsService.h"

#include <stdexcept>

namespace hvc_sandbox {

namespace {

using EpUnitOfMeasureService::Unit_ptr;

std::string quoted(const char* text) {
    return std::string("'") + (text != nullptr ? text : "") + "'";
}

} // namespace

template <class Skeleton> char* UnitServantOf<Skeleton>::acronym() {
    return CORBA::string_dup(definition().acronym.c_str());
}

template <class Skeleton> char* UnitServantOf<Skeleton>::name() {
    return CORBA::string_dup(definition().name.c_str());
}

template <class Skeleton> CORBA::Boolean UnitServantOf<Skeleton>::isEquivalent(Unit_ptr other) {
    const UnitCatalogue::Definition* that = service.definitionOf(other);
    return that != nullptr && UnitCatalogue::equivalent(definition(), *that);
}

template <class Skeleton>
EpUnitOfMeasureService::Unit::Conversion UnitServantOf<Skeleton>::getConversion(Unit_ptr target) {
    const UnitCatalogue::Definition* that = service.definitionOf(target);
    if (that == nullptr)
        throw EpUnitOfMeasureService::ConversionException(
            ("cannot convert " + definition().acronym + " into a unit this service does not know")
                .c_str());
    try {
        return UnitCatalogue::conversion(definition(), *that);
    } catch (const std::domain_error& e) {
        throw EpUnitOfMeasureService::ConversionException(e.what());
    }
}

template class UnitServantOf<POA_EpUnitOfMeasureService::Unit>;
template class UnitServantOf<POA_EpUnitOfMeasureService::Linear>;
template class UnitServantOf<POA_EpUnitOfMeasureService::Angular>;

Unit_ptr UnitFinderServant::findUnit(const char* acronym) {
    const std::string wanted = acronym != nullptr ? acronym : "";
    service.countLookup(wanted);
    Unit_ptr found = service.unit(wanted);
    if (CORBA::is_nil(found))
        throw EpTypes::BadArgumentsException(("unknown unit acronym " + quoted(acronym)).c_str());
    return found;
}

DosTypes::StringSeq* UnitFinderServant::getAcronyms() {
    const std::vector<std::string> all = service.catalogue().acronyms();
    DosTypes::StringSeq_var out = new DosTypes::StringSeq;
    out->length(static_cast<CORBA::ULong>(all.size()));
    for (CORBA::ULong i = 0; i < out->length(); ++i)
        out[i] = all[i].c_str();
    return out._retn();
}

const UnitCatalogue::Definition& UnitFinderServant::promotable(Unit_ptr unit,
                                                               UnitCatalogue::Kind kind) {
    const UnitCatalogue::Definition* def = service.definitionOf(unit);
    if (def == nullptr)
        throw EpUnitOfMeasureService::PromotionException("the unit is not known to this service");
    if (def->kind != kind)
        throw EpUnitOfMeasureService::PromotionException(("'" + def->acronym + "' (" +
                                                          def->dimension + ") is not a " +
                                                          UnitCatalogue::kindName(kind) + " unit")
                                                             .c_str());
    return *def;
}

EpUnitOfMeasureService::Linear_ptr UnitFinderServant::toLinear(Unit_ptr unit) {
    EpUnitOfMeasureService::Unit_var object =
        service.unit(promotable(unit, UnitCatalogue::Kind::Linear).acronym);
    return EpUnitOfMeasureService::Linear::_narrow(object.in());
}

EpUnitOfMeasureService::Angular_ptr UnitFinderServant::toAngular(Unit_ptr unit) {
    EpUnitOfMeasureService::Unit_var object =
        service.unit(promotable(unit, UnitCatalogue::Kind::Angular).acronym);
    return EpUnitOfMeasureService::Angular::_narrow(object.in());
}

Unit_ptr
UnitDeclarationServant::declareUnit(const char* acronym, const char* name, Unit_ptr baseUnit,
                                    const EpUnitOfMeasureService::Unit::Conversion& toBase) {
    const UnitCatalogue::Definition* base = service.definitionOf(baseUnit);
    if (base == nullptr)
        throw EpTypes::BadArgumentsException("the base unit is not known to this service");
    try {
        const UnitCatalogue::Definition& made = service.catalogue().declare(
            acronym != nullptr ? acronym : "", name != nullptr ? name : "", base->acronym, toBase);
        return service.activate(made);
    } catch (const std::invalid_argument& e) {
        throw EpTypes::BadArgumentsException(e.what());
    }
}

} // namespace hvc_sandbox
