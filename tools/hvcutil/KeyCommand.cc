// hvcutil key: data-key texts turned into data objects of the current
// session.
#include "CommandTable.h"
#include "EmbeddedSandbox.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Session.h"
#include "sandbox/datastores/DataStoresRoom.h"

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "resolve KEY... [-session NAME | --keep] [-envfile FILE] | list";

// "IDL:EpiSeismic/SeismicGeometry3d:1.0" as EpiSeismic::SeismicGeometry3d.
std::string scopedName(const std::string& repositoryId) {
    const std::size_t start = repositoryId.find(':') + 1;
    const std::size_t end = repositoryId.rfind(':');
    if (start == 0 || end == std::string::npos || end <= start)
        return repositoryId;
    std::string name;
    for (char c : repositoryId.substr(start, end - start))
        name += c == '/' ? std::string("::") : std::string(1, c);
    return name;
}

// The sample objects of the embedded sandbox's data stores: key text,
// interface and name, separated by tabs.
int list() {
    const hvc_sandbox::Platform* platform = EmbeddedSandbox::platformIfRunning();
    if (platform == nullptr) {
        std::fprintf(stderr, "hvcutil: key list lists the sample objects of the sandbox; run it "
                             "as hvcutil --sandbox key list\n");
        return exitUsage;
    }
    for (const auto& object : platform->room<hvc_sandbox::DataStoresRoom>().listing())
        std::printf("%s\t%s\t%s\n", object.keyText.c_str(), scopedName(object.dataType).c_str(),
                    object.name.c_str());
    return exitOk;
}

int run(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "list")
        return list();
    std::vector<std::string> words = standardOptions(args);
    const bool keep = takeKeep(words);
    if (words.size() < 2 || words[0] != "resolve")
        return usageOf("key", usage);
    DosTypes::StringSeq keys;
    keys.length(static_cast<CORBA::ULong>(words.size() - 1));
    for (CORBA::ULong i = 0; i < keys.length(); ++i)
        keys[i] = words[i + 1].c_str();

    CurrentSession session(keep);
    EpTypes::KeyConversionErrorSeq* rawErrors = nullptr;
    EpDataStore::DataSeq_var objects =
        hvc_util::Session::dataKeysToObjects(session.in(), keys, rawErrors);
    EpTypes::KeyConversionErrorSeq_var errors = rawErrors;

    // One line per key on stdout: the object's key text, or nothing found.
    int status = exitOk;
    CORBA::ULong nextError = 0;
    for (CORBA::ULong i = 0; i < objects->length(); ++i) {
        if (!CORBA::is_nil(objects[i])) {
            CORBA::String_var text = objects[i]->getKeyString();
            std::printf("%s\n", text.in());
            continue;
        }
        status = exitFailure;
        if (nextError < errors->length() &&
            std::string(errors[nextError].key.in()) == keys[i].in()) {
            const EpTypes::KeyConversionError& e = errors[nextError++];
            std::printf("-\n");
            std::fprintf(stderr, "hvcutil: %s: %s (%s; code %d)\n", keys[i].in(), e.reason.in(),
                         e.detail.in(), static_cast<int>(e.code));
        } else {
            std::printf("-\n");
            std::fprintf(stderr, "hvcutil: %s: no data store for this key\n", keys[i].in());
        }
    }
    std::fflush(stdout);
    return session.finish(status);
}

const CommandRegistration registration(
    {"key", usage,
     "turn data-key texts (current or older form) into data objects of a session and print "
     "each object's key text ('-' and a line on stderr for a key that fails); without "
     "-session in a temporary session, removed at the end unless --keep; or list the "
     "sandbox's sample objects (with --sandbox)",
     run});

} // namespace

} // namespace hvcutil
