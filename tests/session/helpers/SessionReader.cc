// The second process of the typical request (TypicalRequestTest): finds the
// current session that the first process named in halvercast.sessionName and
// prints what it holds as one line, "reader: " followed by the session's
// identifier, the interpreter and the source priorities of Store/Proj.
#include <hvc_util/Session.h>

#include <iostream>
#include <memory>
#include <string>

using hvc_util::Session;

namespace {

std::string describeCurrentSession() {
    EpSession::Session_var session = Session::getSession();
    if (CORBA::is_nil(session))
        return "no session";
    std::string line(Session::getSessionUUID(session));
    line += " ";
    line += Session::getInterpreter(session, "Store", "Proj").getValue();
    std::unique_ptr<DosTypes::StringSeq> order(
        Session::getSourcePriority(session, "Store", "Proj"));
    for (CORBA::ULong i = 0; i < order->length(); ++i)
        line += std::string(i == 0 ? " " : ",") + (*order)[i].in();
    return line;
}

} // namespace

int main() {
    int status = 0;
    std::string line;
    try {
        line = describeCurrentSession();
    } catch (const CORBA::Exception& e) {
        line = std::string("failed: ") + e._name();
        status = 1;
    }
    std::cout << "reader: " << line << std::endl;
    return status;
}
