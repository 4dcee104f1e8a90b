// In-process units and coordinate systems that the formatter asks for labels,
// with knobs for the failures a remote server can show.
#pragma once

#include "sandbox/common/Activation.h"
#include "support/RootPoa.h"

#include <EpCoordinateService.hh>
#include <EpUnitOfMeasureService.hh>

#include <string>
#include <utility>

namespace hvc_test {

// One object in the root POA: `servant` stays usable until kill(), after
// which every call on `ref` raises OBJECT_NOT_EXIST like a dead server's.
template <class Servant, class Ref> struct Activated {
    template <class... Args> explicit Activated(Args&&... args) {
        poa = activeRootPoa();
        servant = new Servant(std::forward<Args>(args)...);
        CORBA::Object_var obj = hvc_sandbox::Activation::activate(poa, servant.in(), &oid);
        ref = Ref::_narrow(obj);
    }
    void kill() { poa->deactivate_object(oid.in()); }

    PortableServer::POA_var poa;
    PortableServer::ObjectId_var oid;
    PortableServer::Servant_var<Servant> servant;
    typename Ref::_var_type ref;
};

// An angular unit (and so a unit) with an acronym and a name; asking for
// the acronym can be made to raise BAD_OPERATION.
class UnitServant : public POA_EpUnitOfMeasureService::Angular {
public:
    UnitServant(std::string acronym, std::string name)
        : acronymText(std::move(acronym)), nameText(std::move(name)) {}

    char* acronym() override {
        if (undecodable)
            throw CORBA::BAD_OPERATION(0, CORBA::COMPLETED_NO);
        return CORBA::string_dup(acronymText.c_str());
    }
    char* name() override { return CORBA::string_dup(nameText.c_str()); }
    CORBA::Boolean isEquivalent(EpUnitOfMeasureService::Unit_ptr) override { return false; }
    EpUnitOfMeasureService::Unit::Conversion
    getConversion(EpUnitOfMeasureService::Unit_ptr) override {
        throw EpUnitOfMeasureService::ConversionException("no conversion");
    }

    bool undecodable = false;

private:
    std::string acronymText;
    std::string nameText;
};

using Unit = Activated<UnitServant, EpUnitOfMeasureService::Angular>;

// A coordinate system with a name and a unit per axis; one axis number can
// be refused with BadArgumentsException.
class SystemServant : public POA_EpCoordinateService::System {
public:
    explicit SystemServant(std::string name) : nameText(std::move(name)) {}

    EpEntity::Identifier_slice* identifier() override { return EpEntity::Identifier_alloc(); }
    CORBA::Boolean isIdentical(EpEntity::Entity_ptr) override { return false; }
    CORBA::Boolean isEqual(EpEntity::Entity_ptr) override { return false; }
    char* name() override { return CORBA::string_dup(nameText.c_str()); }
    EpCoordinateService::ParameterSeq* getParameters() override {
        return new EpCoordinateService::ParameterSeq;
    }
    char* getAxisName(CORBA::Short) override { return CORBA::string_dup(""); }
    EpUnitOfMeasureService::Unit_ptr getAxisUnit(CORBA::Short axis) override {
        if (axis == refusedAxis || axis < 1 || axis > 3)
            throw EpTypes::BadArgumentsException("no such axis");
        return EpUnitOfMeasureService::Unit::_duplicate(units[axis - 1]);
    }
    EpTypes::PointSeq* transformPoints(EpCoordinateService::System_ptr, const EpTypes::PointSeq&,
                                       DosTypes::ULongSeq_out) override {
        throw EpCoordinateService::NoKnownTransformException("no transform");
    }

    // Nil until set; the servant keeps its own references.
    EpUnitOfMeasureService::Unit_var units[3];
    short refusedAxis = 0;

private:
    std::string nameText;
};

using System = Activated<SystemServant, EpCoordinateService::System>;

} // namespace hvc_test
