#pragma once
#include <string>

namespace testkit {

// The protection driver's file in the build's program folder.
std::wstring InstalledDriverFile();

// Deletes the driver's service and waits until it and its device are gone.
bool RemoveDriverService();

// Registers the service anew from the build's program folder and starts it.
void RestoreDriverService();

// When the service is registered from a file inside folder, hands it back to
// the build's program folder: a loaded driver keeps its file open, and a
// service left pointing into a removed folder could not load again.
void ReleaseDriverFrom(const std::wstring& folder);

// Restores the service when the test that removed or moved it is done.
class ServiceRestorer {
public:
    ServiceRestorer() = default;
    ~ServiceRestorer() { RestoreDriverService(); }
    ServiceRestorer(const ServiceRestorer&) = delete;
    ServiceRestorer& operator=(const ServiceRestorer&) = delete;
};

// The service's registration, read back from the service manager.
struct ServiceConfig {
    bool found = false;
    unsigned long type = 0;
    unsigned long start = 0;
    unsigned long errorControl = 0;
    std::wstring binaryPath;
    std::wstring displayName;
};

ServiceConfig ReadServiceConfig();

} // namespace testkit
