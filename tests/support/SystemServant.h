// A coordinate system of the test's own, with knobs for the answers a
// remote coordinate service can give.
#pragma once

#include "support/Served.h"

#include <EpCoordinateService.hh>

#include <string>
#include <utility>

namespace hvc_test {

// A system with a name and a unit per axis; one axis number can be refused
// with BadArgumentsException. transformPoints hands the given points back
// unchanged with `extraPoints` more behind them, none failed.
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
    EpTypes::PointSeq* transformPoints(EpCoordinateService::System_ptr,
                                       const EpTypes::PointSeq& points,
                                       DosTypes::ULongSeq_out failed) override {
        failed = new DosTypes::ULongSeq;
        auto* out = new EpTypes::PointSeq(points);
        out->length(points.length() + extraPoints);
        return out;
    }

    // Nil until set; the servant keeps its own references.
    EpUnitOfMeasureService::Unit_var units[3];
    short refusedAxis = 0;
    CORBA::ULong extraPoints = 0;

private:
    std::string nameText;
};

using System = Served<SystemServant, EpCoordinateService::System>;

} // namespace hvc_test
