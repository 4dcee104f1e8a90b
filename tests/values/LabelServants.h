// In-process units and coordinate systems that the formatter asks for labels,
// with knobs for the failures a remote server can show.
#pragma once

#include "support/Served.h"
#include "support/SystemServant.h"

#include <EpUnitOfMeasureService.hh>

#include <string>
#include <utility>

namespace hvc_test {

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

using Unit = Served<UnitServant, EpUnitOfMeasureService::Angular>;

} // namespace hvc_test
