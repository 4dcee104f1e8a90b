// The platform's side of the project-password table a user's profile keeps:
// only sealed passwords are stored, and only the platform's key opens them.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

namespace hvc_sandbox {

// Holds copies of the platform's key pair (base64).
class PasswordTable {
public:
    PasswordTable(std::string publicKey, std::string secretKey);

    // Whether `table` may be stored: CosPropertyService::Properties whose
    // values are EpProject::ProjectAccessInfoSeq, every password sealed to
    // the platform's key.
    bool acceptable(const CORBA::Any& table) const;

    // The clear text of the first recorded password of the project; false
    // when none is recorded or it does not open with the platform's key.
    bool open(const CORBA::Any& table, const std::string& dataStoreName,
              const std::string& projectName, std::string& clear) const;

private:
    const std::string publicKey;
    const std::string secretKey;
};

} // namespace hvc_sandbox
