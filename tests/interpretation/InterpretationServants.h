// In-process seismic geometries and feature representations for the origin
// tests: geometries count the identity questions they are asked, a
// representation hands out the origin it is given or raises what it is told.
#pragma once

#include "support/RootPoa.h"
#include "support/Served.h"

#include <EpiInterpretation.hh>
#include <EpiSeismic.hh>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>

namespace hvc_test {

// The Entity and Data operations of a test object: identical means the same
// object of the root POA; every identity question is counted.
template <class Skeleton> class TestData : public virtual Skeleton {
public:
    EpEntity::Identifier_slice* identifier() override { return EpEntity::Identifier_alloc(); }
    CORBA::Boolean isIdentical(EpEntity::Entity_ptr other) override {
        ++identityQuestions;
        if (CORBA::is_nil(other))
            return false;
        PortableServer::POA_var poa = activeRootPoa();
        try {
            PortableServer::ObjectId_var theirs = poa->reference_to_id(other);
            PortableServer::ObjectId_var mine = poa->servant_to_id(this);
            return theirs->length() == mine->length() &&
                   std::equal(theirs->get_buffer(), theirs->get_buffer() + theirs->length(),
                              mine->get_buffer());
        } catch (const PortableServer::POA::WrongAdapter&) {
            return false;
        }
    }
    CORBA::Boolean isEqual(EpEntity::Entity_ptr other) override { return isIdentical(other); }
    EpDataStore::DataKey* getDataKey() override { return new EpDataStore::DataKey; }
    char* getKeyString() override { return CORBA::string_dup(""); }

    std::atomic<int> identityQuestions{0};
};

template <class Skeleton> class TestGeometry : public TestData<Skeleton> {
public:
    char* name() override { return CORBA::string_dup("test geometry"); }
    EpCoordinateService::System_ptr getSystem() override {
        return EpCoordinateService::System::_nil();
    }
};

class Geometry2dServant : public TestGeometry<POA_EpiSeismic::SeismicGeometry2d> {
public:
    DosTypes::StringSeq* getLineNames() override { return new DosTypes::StringSeq; }
    EpTypes::PointSeq* getTraceLocations(const char*) override { return new EpTypes::PointSeq; }
};

class Geometry3dServant : public TestGeometry<POA_EpiSeismic::SeismicGeometry3d> {
public:
    EpCoordinateService::SeismicBinGridSystem_ptr getBinGridSystem() override {
        return EpCoordinateService::SeismicBinGridSystem::_nil();
    }
    void getInlineRange(CORBA::Long& first, CORBA::Long& last, CORBA::Long& step) override {
        first = 100, last = 750, step = 1;
    }
    void getCrosslineRange(CORBA::Long& first, CORBA::Long& last, CORBA::Long& step) override {
        first = 300, last = 1250, step = 1;
    }
};

// A representation whose getOrigin answers `origin`, or calls `fail` when set
// (which raises).
class RepresentationServant : public TestData<POA_EpiInterpretation::FeatureRepresentation> {
public:
    char* name() override { return CORBA::string_dup("test representation"); }
    CosPropertyService::Properties* getOrigin() override {
        ++originReads;
        if (fail)
            fail();
        return new CosPropertyService::Properties(origin);
    }
    void setOrigin(const CosPropertyService::Properties& o) override { origin = o; }

    CosPropertyService::Properties origin;
    std::function<void()> fail;
    std::atomic<int> originReads{0};
};

using Geometry2d = Served<Geometry2dServant, EpiSeismic::SeismicGeometry2d>;
using Geometry3d = Served<Geometry3dServant, EpiSeismic::SeismicGeometry3d>;
using Representation = Served<RepresentationServant, EpiInterpretation::FeatureRepresentation>;

} // namespace hvc_test
