#include <hvc_util/BuildInfo.h>

namespace hvc_util {

namespace {

#define HVC_STR2(x) #x
#define HVC_STR(x) HVC_STR2(x)
#define HVC_BUILD_MAJOR 2
#define HVC_BUILD_REVISION 4
#define HVC_BUILD_UPDATE 0
#define HVC_BUILD_NUMBER 54

// The text is made from the numbers so that the two cannot disagree.
const char version[] = "Halvercast v" HVC_STR(HVC_BUILD_MAJOR) "." HVC_STR(
    HVC_BUILD_REVISION) "." HVC_STR(HVC_BUILD_UPDATE) " Build " HVC_STR(HVC_BUILD_NUMBER);

} // namespace

const char* BuildInfo::getVersion() {
    return version;
}
const char* BuildInfo::getBuildDate() {
    return "Tue Nov 26 20:23:31 CST 2002";
}
int BuildInfo::getBuildMajor() {
    return HVC_BUILD_MAJOR;
}
int BuildInfo::getBuildRevision() {
    return HVC_BUILD_REVISION;
}
int BuildInfo::getBuildUpdate() {
    return HVC_BUILD_UPDATE;
}
int BuildInfo::getBuildNumber() {
    return HVC_BUILD_NUMBER;
}

} // namespace hvc_util
