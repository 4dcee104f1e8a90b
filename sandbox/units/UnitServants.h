// The servants of the sandbox's units service.
#pragma once

#include "UnitCatalogue.h"

#include <EpUnitOfMeasureService.hh>

namespace hvc_sandbox {

class UnitsService;

// What every unit servant carries: its catalogue entry.
class UnitIdentity {
public:
    explicit UnitIdentity(const UnitCatalogue::Definition& d) : def(d) {}
    virtual ~UnitIdentity() = default;
    const UnitCatalogue::Definition& definition() const { return def; }

private:
    const UnitCatalogue::Definition& def;
};

// One catalogued unit, served as a Unit, a Linear or an Angular object by
// the kind of its dimension. Borrows the room, which outlives it.
template <class Skeleton> class UnitServantOf : public Skeleton, public UnitIdentity {
public:
    UnitServantOf(UnitsService& room, const UnitCatalogue::Definition& d)
        : UnitIdentity(d), service(room) {}

    char* acronym() override;
    char* name() override;
    // False for a unit this service does not know.
    CORBA::Boolean isEquivalent(EpUnitOfMeasureService::Unit_ptr other) override;
    // Raises ConversionException for an unknown target or across dimensions.
    EpUnitOfMeasureService::Unit::Conversion
    getConversion(EpUnitOfMeasureService::Unit_ptr target) override;

private:
    UnitsService& service;
};

using UnitServant = UnitServantOf<POA_EpUnitOfMeasureService::Unit>;
using LinearUnitServant = UnitServantOf<POA_EpUnitOfMeasureService::Linear>;
using AngularUnitServant = UnitServantOf<POA_EpUnitOfMeasureService::Angular>;

class UnitFinderServant : public POA_EpUnitOfMeasureService::Finder {
public:
    explicit UnitFinderServant(UnitsService& room) : service(room) {}

    // Raises BadArgumentsException for an unknown acronym.
    EpUnitOfMeasureService::Unit_ptr findUnit(const char* acronym) override;
    DosTypes::StringSeq* getAcronyms() override;
    // Raise PromotionException unless the unit is of that kind.
    EpUnitOfMeasureService::Linear_ptr toLinear(EpUnitOfMeasureService::Unit_ptr unit) override;
    EpUnitOfMeasureService::Angular_ptr toAngular(EpUnitOfMeasureService::Unit_ptr unit) override;

private:
    const UnitCatalogue::Definition& promotable(EpUnitOfMeasureService::Unit_ptr unit,
                                                UnitCatalogue::Kind kind);
    UnitsService& service;
};

class UnitDeclarationServant : public POA_EpUnitOfMeasureService::Declaration {
public:
    explicit UnitDeclarationServant(UnitsService& room) : service(room) {}

    // Raises BadArgumentsException with the reason the unit cannot be declared.
    EpUnitOfMeasureService::Unit_ptr
    declareUnit(const char* acronym, const char* name, EpUnitOfMeasureService::Unit_ptr baseUnit,
                const EpUnitOfMeasureService::Unit::Conversion& toBase) override;

private:
    UnitsService& service;
};

} // namespace hvc_sandbox
