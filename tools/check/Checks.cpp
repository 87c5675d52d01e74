#include "Checks.h"

#include <tlhelp32.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

Verdict Pass(const std::string& detail) { return {Status::Pass, detail}; }
Verdict Fail(const std::string& detail) { return {Status::Fail, detail}; }
Verdict Skip(const std::string& detail) { return {Status::Skip, detail}; }

std::string Result(int code) { return std::to_string(code); }

// A check that needs these exports is skipped where one is missing; the
// `exports` check has already failed for it.
#define NEEDS(...)                                                         \
    do {                                                                   \
        for (const auto& [present, name] : std::initializer_list<std::pair<bool, const char*>>{__VA_ARGS__}) \
            if (!present)                                                  \
                return Skip(std::string("the backend lacks ") + name);    \
    } while (0)
#define FN(name) std::pair<bool, const char*>{backend.name != nullptr, #name}

// Starts the backend; a refusal skips the check (the `init` check reports it).
#define START()                                                                         \
    do {                                                                                \
        NEEDS(FN(BT_Init));                                                             \
        if (const int started = backend.BT_Init(); started != BT_OK)                    \
            return Skip("the backend refuses BT_Init (" + Result(started) + ")");       \
    } while (0)

template <size_t N>
bool Terminated(const char (&text)[N])
{
    return memchr(text, '\0', N) != nullptr;
}

template <typename T>
T Canary()
{
    T value;
    memset(&value, 0xA5, sizeof value);
    return value;
}

template <typename T>
bool Same(const T& a, const T& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

int ThreadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int threads = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return threads;
}

constexpr int manyDevices = 64;

// Every device the backend reports, by a blocking discovery with room to spare.
std::vector<BT_DEVICE_INFO> Devices(Backend& backend, int& result)
{
    std::vector<BT_DEVICE_INFO> devices(manyDevices);
    int count = 0;
    result = backend.BT_ListDevices(devices.data(), manyDevices, &count);
    devices.resize(result == BT_OK ? std::clamp(count, 0, manyDevices) : 0);
    return devices;
}

// What one asynchronous discovery delivered, as it arrives.
struct Discovery {
    static void __cdecl Callback(const BT_DEVICE_INFO* device, int status, void* context)
    {
        auto& self = *static_cast<Discovery*>(context);
        bool restart = false;
        {
            std::lock_guard<std::mutex> hold(self.lock);
            if (self.finals > 0)
                ++self.callsAfterFinal;
            else if (device)
                self.addresses.push_back(device->address);
            if (!device) {
                ++self.finals;
                self.finalStatus = status;
                restart = self.next && self.finals == 1;
            }
        }
        if (restart) {
            // From its final call, a new discovery may start.
            const int result = self.restartFrom->BT_ListDevicesAsync(Callback, self.next);
            std::lock_guard<std::mutex> hold(self.lock);
            self.restartResult = result;
        }
        self.changed.notify_all();
    }

    // Waits up to `ms` for the final call; true when it came.
    bool Finished(DWORD ms)
    {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::milliseconds(ms), [this] { return finals > 0; });
    }
    int Finals()
    {
        std::lock_guard<std::mutex> hold(lock);
        return finals;
    }

    std::mutex lock;
    std::condition_variable changed;
    std::vector<BT_ADDR> addresses;
    int finals = 0;
    int finalStatus = -1;
    int callsAfterFinal = 0;
    // Set both to start a new discovery, reporting to `next`, from the final call.
    Backend* restartFrom = nullptr;
    Discovery* next = nullptr;
    int restartResult = -1;
};

DWORD discoveryLimitMs = 5000;
constexpr DWORD quietAfterFinalMs = 300;

// ---- The checks ----

Verdict Exports(Backend& backend)
{
    const std::vector<std::string> missing = backend.Missing();
    if (missing.empty())
        return Pass("all eighteen exported");
    std::string names;
    for (const std::string& name : missing)
        names += (names.empty() ? "" : ", ") + name;
    return Fail("expected all eighteen exports; lacks " + names);
}

Verdict Init(Backend& backend)
{
    NEEDS(FN(BT_Init));
    const int threadsBefore = ThreadsOfThisProcess();
    const int result = backend.BT_Init();
    if (result == BT_OK)
        return Pass("accepts (BT_Init answered 0)");
    Sleep(quietAfterFinalMs);  // a thread on its way out may take a moment
    const int left = ThreadsOfThisProcess() - threadsBefore;
    if (left > 0)
        return Fail("refused (" + Result(result) + ") but left " + std::to_string(left) + " thread(s) running");
    return Pass("refuses cleanly (BT_Init answered " + Result(result) + "), nothing left running");
}

Verdict Radio(Backend& backend)
{
    NEEDS(FN(BT_QueryRadio));
    START();
    BT_RADIO_INFO radio = Canary<BT_RADIO_INFO>();
    const int result = backend.BT_QueryRadio(&radio);
    if (result != BT_OK)
        return Fail("expected BT_OK from BT_QueryRadio, got " + Result(result));
    if (!Terminated(radio.name))
        return Fail("the radio's name is not terminated within " + std::to_string(BT_NAME_SIZE) + " bytes");
    if (Same(radio, Canary<BT_RADIO_INFO>()) || radio.address >> 48)
        return Fail("the radio record was not filled with a valid address");
    return Pass(std::string("radio \"") + radio.name + "\"");
}

Verdict DeviceRecords(Backend& backend)
{
    NEEDS(FN(BT_ListDevices), FN(BT_QueryDevice));
    START();
    std::vector<BT_DEVICE_INFO> devices(manyDevices, Canary<BT_DEVICE_INFO>());
    int count = -1;
    const int result = backend.BT_ListDevices(devices.data(), manyDevices, &count);
    if (result != BT_OK)
        return Fail("expected BT_OK from BT_ListDevices with room for " + std::to_string(manyDevices) + ", got " +
                    Result(result));
    if (count < 0 || count > manyDevices)
        return Fail("count " + std::to_string(count) + " is out of range");
    for (int i = 0; i < count; ++i) {
        if (!Terminated(devices[i].name) || devices[i].address >> 48)
            return Fail("device " + std::to_string(i) + ": name not terminated or address invalid");
        BT_DEVICE_INFO queried = Canary<BT_DEVICE_INFO>();
        const int query = backend.BT_QueryDevice(devices[i].address, &queried);
        if (query != BT_OK || queried.address != devices[i].address || !Terminated(queried.name))
            return Fail("BT_QueryDevice of listed device " + std::to_string(i) + " answered " + Result(query) +
                        " or a different record");
    }
    if (count < manyDevices && !Same(devices[count], Canary<BT_DEVICE_INFO>()))
        return Fail("a record past the count was written");
    return Pass(std::to_string(count) + " device(s), each filled, terminated and queryable");
}

Verdict ArrayRule(Backend& backend)
{
    NEEDS(FN(BT_ListDevices));
    START();
    int result;
    const std::vector<BT_DEVICE_INFO> all = Devices(backend, result);
    const int total = int(all.size());
    int count = -1;
    const int empty = backend.BT_ListDevices(nullptr, 0, &count);
    const int expected = total ? BT_ERROR_MORE_DATA : BT_OK;
    if (empty != expected || count != total)
        return Fail("capacity 0: expected " + Result(expected) + " and count " + std::to_string(total) + ", got " +
                    Result(empty) + " and count " + std::to_string(count));
    if (total < 2)
        return Pass("capacity 0 answers the full count; a short array needs two devices, found " +
                    std::to_string(total));
    std::vector<BT_DEVICE_INFO> shortArray(total, Canary<BT_DEVICE_INFO>());
    count = -1;
    const int partial = backend.BT_ListDevices(shortArray.data(), total - 1, &count);
    if (partial != BT_ERROR_MORE_DATA || count != total)
        return Fail("capacity " + std::to_string(total - 1) + ": expected BT_ERROR_MORE_DATA and count " +
                    std::to_string(total) + ", got " + Result(partial) + " and count " + std::to_string(count));
    for (int i = 0; i + 1 < total; ++i)
        if (shortArray[i].address != all[i].address)
            return Fail("capacity " + std::to_string(total - 1) + ": record " + std::to_string(i) + " not filled");
    if (!Same(shortArray[total - 1], Canary<BT_DEVICE_INFO>()))
        return Fail("capacity " + std::to_string(total - 1) + ": written past the capacity");
    return Pass("capacity 0 and a short array both answer BT_ERROR_MORE_DATA with the full count");
}

Verdict Services(Backend& backend)
{
    NEEDS(FN(BT_ListDevices), FN(BT_ListServices), FN(BT_QueryService));
    START();
    int result;
    int checked = 0;
    for (const BT_DEVICE_INFO& device : Devices(backend, result)) {
        int total = -1;
        const int empty = backend.BT_ListServices(device.address, nullptr, 0, &total);
        if (empty != BT_OK && empty != BT_ERROR_MORE_DATA)
            continue;  // a device whose services cannot be listed now
        if ((empty == BT_OK) != (total == 0))
            return Fail("capacity 0 answered " + Result(empty) + " with count " + std::to_string(total));
        std::vector<BT_SERVICE_INFO> services(total + 1, Canary<BT_SERVICE_INFO>());
        int count = -1;
        const int listed = backend.BT_ListServices(device.address, services.data(), total, &count);
        if (listed != BT_OK || count != total || !Same(services[total], Canary<BT_SERVICE_INFO>()))
            return Fail("full listing answered " + Result(listed) + " with count " + std::to_string(count));
        for (int i = 0; i < total; ++i) {
            BT_SERVICE_INFO service = Canary<BT_SERVICE_INFO>();
            const int query = backend.BT_QueryService(device.address, services[i].uuid, &service);
            if (!Terminated(services[i].name) || query != BT_OK || service.uuid != services[i].uuid ||
                !Terminated(service.name))
                return Fail("service " + std::to_string(i) + " of a device: not terminated, or BT_QueryService "
                            "answered " + Result(query));
        }
        checked += total;
    }
    if (!checked)
        return Skip("no device reports a service");
    return Pass(std::to_string(checked) + " service(s) listed by the array rule and queryable");
}

// A discovery started, and what it delivered once finished.
Verdict DiscoveryDelivers(Backend& backend)
{
    NEEDS(FN(BT_ListDevices), FN(BT_ListDevicesAsync));
    START();
    int result;
    std::vector<BT_ADDR> expected;
    for (const BT_DEVICE_INFO& device : Devices(backend, result))
        expected.push_back(device.address);
    Discovery discovery;
    const int started = backend.BT_ListDevicesAsync(&Discovery::Callback, &discovery);
    if (started != BT_OK)
        return Fail("expected BT_OK from BT_ListDevicesAsync, got " + Result(started));
    if (!discovery.Finished(discoveryLimitMs))
        return Fail("no final call within " + std::to_string(discoveryLimitMs / 1000) + " s");
    Sleep(quietAfterFinalMs);
    std::lock_guard<std::mutex> hold(discovery.lock);
    std::vector<BT_ADDR> found = discovery.addresses;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    if (discovery.finals != 1 || discovery.callsAfterFinal)
        return Fail("expected exactly one final call and nothing after it, got " + std::to_string(discovery.finals) +
                    " final and " + std::to_string(discovery.callsAfterFinal) + " later call(s)");
    if (discovery.finalStatus != BT_OK)
        return Fail("the final call's status is " + Result(discovery.finalStatus) + ", expected BT_OK");
    if (found != expected)
        return Fail("delivered " + std::to_string(found.size()) + " device(s), the blocking discovery lists " +
                    std::to_string(expected.size()));
    return Pass("each of " + std::to_string(found.size()) + " device(s), then exactly one final call");
}

Verdict CancelWaitsForTheFinalCall(Backend& backend)
{
    NEEDS(FN(BT_ListDevicesAsync), FN(BT_CancelListDevicesAsync));
    START();
    Discovery discovery;
    const int started = backend.BT_ListDevicesAsync(&Discovery::Callback, &discovery);
    if (started != BT_OK)
        return Fail("expected BT_OK from BT_ListDevicesAsync, got " + Result(started));
    const int cancelled = backend.BT_CancelListDevicesAsync();
    int finalsAtReturn;
    {
        std::lock_guard<std::mutex> hold(discovery.lock);
        finalsAtReturn = discovery.finals;
    }
    // Answering BT_ERROR_NOT_FOUND is right where the discovery had already ended.
    if (cancelled != BT_OK && cancelled != BT_ERROR_NOT_FOUND)
        return Fail("expected BT_OK from BT_CancelListDevicesAsync, got " + Result(cancelled));
    if (finalsAtReturn != 1)
        return Fail("BT_CancelListDevicesAsync returned before the final call (final calls made: " +
                    std::to_string(finalsAtReturn) + ")");
    return Pass("returned after the final call (status " + Result(discovery.finalStatus) + ")");
}

Verdict RestartFromTheFinalCall(Backend& backend)
{
    NEEDS(FN(BT_ListDevicesAsync));
    START();
    Discovery second;
    Discovery first;
    first.restartFrom = &backend;
    first.next = &second;
    const int started = backend.BT_ListDevicesAsync(&Discovery::Callback, &first);
    if (started != BT_OK)
        return Fail("expected BT_OK from BT_ListDevicesAsync, got " + Result(started));
    if (!first.Finished(discoveryLimitMs))
        return Fail("no final call within " + std::to_string(discoveryLimitMs / 1000) + " s");
    std::unique_lock<std::mutex> hold(first.lock);
    first.changed.wait_for(hold, std::chrono::milliseconds(discoveryLimitMs), [&] { return first.restartResult != -1; });
    if (first.restartResult != BT_OK)
        return Fail("a discovery started from the final call answered " + Result(first.restartResult) +
                    ", expected BT_OK");
    hold.unlock();
    if (!second.Finished(discoveryLimitMs))
        return Fail("the discovery started from the final call made no final call of its own");
    return Pass("a discovery started from the final call runs to its own end");
}

Verdict ExitEndsDiscovery(Backend& backend)
{
    NEEDS(FN(BT_ListDevicesAsync), FN(BT_Exit));
    START();
    Discovery discovery;
    const int started = backend.BT_ListDevicesAsync(&Discovery::Callback, &discovery);
    if (started != BT_OK)
        return Fail("expected BT_OK from BT_ListDevicesAsync, got " + Result(started));
    const int exited = backend.BT_Exit();
    const int finals = discovery.Finals();
    if (finals != 1)
        return Fail("BT_Exit (" + Result(exited) + ") returned before the discovery's final call");
    return Pass("BT_Exit returned after the running discovery's final call");
}

// A paired device with a serial service, or none.
bool PairedSerialDevice(Backend& backend, BT_ADDR& device, int& channel)
{
    int result;
    for (const BT_DEVICE_INFO& candidate : Devices(backend, result)) {
        BT_SERVICE_INFO service;
        if (candidate.paired && backend.BT_QueryService(candidate.address, BT_SERVICE_SPP, &service) == BT_OK) {
            device = candidate.address;
            channel = service.channel;
            return true;
        }
    }
    return false;
}

Verdict ExitEndsLinks(Backend& backend)
{
    NEEDS(FN(BT_ListDevices), FN(BT_QueryService), FN(BT_SPP_Connect), FN(BT_SPP_SendData), FN(BT_Exit));
    START();
    BT_ADDR device;
    int channel;
    if (!PairedSerialDevice(backend, device, channel))
        return Skip("no paired device offers a serial port (pairing needs the device's PIN)");
    int connection = 0;
    const int connected = backend.BT_SPP_Connect(device, channel, &connection);
    if (connected != BT_OK)
        return Fail("expected BT_OK from BT_SPP_Connect to a paired device, got " + Result(connected));
    backend.BT_Exit();
    if (const int again = backend.BT_Init(); again != BT_OK)
        return Fail("BT_Init after BT_Exit answered " + Result(again));
    int sent = 0;
    const int send = backend.BT_SPP_SendData(connection, "x", 1, &sent);
    if (send == BT_OK)
        return Fail("a connection made before BT_Exit still takes data after it");
    return Pass("a connection made before BT_Exit is gone after it (" + Result(send) + ")");
}

Verdict CallsAfterExit(Backend& backend)
{
    const std::vector<std::string> missing = backend.Missing();
    if (!missing.empty())
        return Skip("the backend lacks " + missing.front());
    START();
    int result;
    const std::vector<BT_DEVICE_INFO> devices = Devices(backend, result);
    const BT_ADDR device = devices.empty() ? 1 : devices.front().address;
    backend.BT_Exit();
    // Each with valid arguments: only surviving the call counts.
    BT_RADIO_INFO radio;
    BT_DEVICE_INFO records[4];
    BT_SERVICE_INFO services[4];
    int count;
    char buffer[16];
    unsigned bytes;
    backend.BT_Pair(device, "0000");
    backend.BT_UnPair(device);
    backend.BT_QueryRadio(&radio);
    backend.BT_ListDevices(records, 4, &count);
    backend.BT_CancelListDevicesAsync();
    backend.BT_QueryDevice(device, records);
    backend.BT_ListServices(device, services, 4, &count);
    backend.BT_QueryService(device, BT_SERVICE_SPP, services);
    backend.BT_SPP_Connect(device, 1, &count);
    backend.BT_SPP_SendData(1, "x", 1, &count);
    backend.BT_SPP_RecvData(1, buffer, sizeof buffer, &count);
    backend.BT_SPP_Disconnect(1);
    backend.BT_DUN_Dialup(device, "*99#");
    backend.BT_DUN_Hangup(device);
    backend.BT_OPP_SendFile(device, L"VornelCheck-no-such-file", &bytes);
    Discovery discovery;
    if (backend.BT_ListDevicesAsync(&Discovery::Callback, &discovery) == BT_OK &&
        !discovery.Finished(discoveryLimitMs))
        return Fail("a discovery started after BT_Exit made no final call");
    return Pass("every function answers after BT_Exit, as the library may still call it");
}

Verdict InitAgain(Backend& backend)
{
    NEEDS(FN(BT_QueryRadio), FN(BT_Exit));
    START();
    backend.BT_Exit();
    const int again = backend.BT_Init();
    if (again != BT_OK)
        return Fail("expected BT_OK from a second BT_Init after BT_Exit, got " + Result(again));
    BT_RADIO_INFO radio;
    const int query = backend.BT_QueryRadio(&radio);
    if (query != BT_OK)
        return Fail("after the second BT_Init, BT_QueryRadio answered " + Result(query));
    return Pass("a second BT_Init after BT_Exit starts it again");
}

// ---- Null pointers: each rejected with BT_ERROR_INVALID_ARGUMENT, nothing changed ----

// The first device the backend reports, so that only the null pointer is wrong.
BT_ADDR SomeDevice(Backend& backend)
{
    int result;
    const std::vector<BT_DEVICE_INFO> devices = backend.BT_ListDevices ? Devices(backend, result)
                                                                       : std::vector<BT_DEVICE_INFO>();
    return devices.empty() ? 1 : devices.front().address;
}

// Calls `call` once the backend is started; it answers the result and
// whether it saw anything written that should not have been.
template <typename Call>
Verdict NullRejected(Backend& backend, bool present, const char* function, Call call)
{
    NEEDS(std::pair<bool, const char*>{present, function});
    START();
    bool changed = false;
    const int result = call(SomeDevice(backend), changed);
    if (result != BT_ERROR_INVALID_ARGUMENT)
        return Fail("expected BT_ERROR_INVALID_ARGUMENT (2), got " + Result(result));
    if (changed)
        return Fail("answered BT_ERROR_INVALID_ARGUMENT but wrote to another argument");
    return Pass("BT_ERROR_INVALID_ARGUMENT, nothing written");
}

// One null-pointer row: the check's name and its call.
#define NULL_ROW(function, argument, ...)                                              \
    Check{"null-" #function "-" #argument, [](Backend& backend) {                      \
              return NullRejected(backend, backend.function != nullptr, #function,     \
                                  [&](BT_ADDR device, bool& changed) -> int {          \
                                      (void)device, (void)changed;                     \
                                      __VA_ARGS__                                      \
                                  });                                                  \
          }}

}  // namespace

void WaitForDiscoveriesAtMost(unsigned long milliseconds)
{
    discoveryLimitMs = milliseconds;
}

const std::vector<Check>& AllChecks()
{
    static const std::vector<Check> checks = {
        {"exports", Exports},
        {"init", Init},
        {"radio", Radio},
        {"device-records", DeviceRecords},
        {"array-rule", ArrayRule},
        {"services", Services},
        {"discovery", DiscoveryDelivers},
        {"discovery-cancel", CancelWaitsForTheFinalCall},
        {"discovery-restart", RestartFromTheFinalCall},
        {"exit-ends-discovery", ExitEndsDiscovery},
        {"exit-ends-links", ExitEndsLinks},
        {"calls-after-exit", CallsAfterExit},
        {"init-again", InitAgain},
        NULL_ROW(BT_Pair, pin, return backend.BT_Pair(device, nullptr);),
        NULL_ROW(BT_QueryRadio, radio, return backend.BT_QueryRadio(nullptr);),
        NULL_ROW(BT_ListDevices, devices, int count = -7; const int r = backend.BT_ListDevices(nullptr, 4, &count);
                 changed = count != -7; return r;),
        NULL_ROW(BT_ListDevices, count, BT_DEVICE_INFO records[4]; memset(records, 0xA5, sizeof records);
                 const int r = backend.BT_ListDevices(records, 4, nullptr);
                 changed = records[0].address != Canary<BT_DEVICE_INFO>().address; return r;),
        NULL_ROW(BT_ListDevicesAsync, callback, return backend.BT_ListDevicesAsync(nullptr, nullptr);),
        NULL_ROW(BT_QueryDevice, info, return backend.BT_QueryDevice(device, nullptr);),
        NULL_ROW(BT_ListServices, services, int count = -7;
                 const int r = backend.BT_ListServices(device, nullptr, 4, &count); changed = count != -7; return r;),
        NULL_ROW(BT_ListServices, count, BT_SERVICE_INFO records[4]; memset(records, 0xA5, sizeof records);
                 const int r = backend.BT_ListServices(device, records, 4, nullptr);
                 changed = records[0].uuid != Canary<BT_SERVICE_INFO>().uuid; return r;),
        NULL_ROW(BT_QueryService, service, return backend.BT_QueryService(device, BT_SERVICE_SPP, nullptr);),
        NULL_ROW(BT_SPP_Connect, connection, return backend.BT_SPP_Connect(device, 1, nullptr);),
        NULL_ROW(BT_SPP_SendData, data, int sent = -7; const int r = backend.BT_SPP_SendData(1, nullptr, 4, &sent);
                 changed = sent != -7; return r;),
        NULL_ROW(BT_SPP_SendData, sent, return backend.BT_SPP_SendData(1, "data", 4, nullptr);),
        NULL_ROW(BT_SPP_RecvData, buffer, int received = -7;
                 const int r = backend.BT_SPP_RecvData(1, nullptr, 4, &received); changed = received != -7; return r;),
        NULL_ROW(BT_SPP_RecvData, received, char buffer[4] = {'\x5A', '\x5A', '\x5A', '\x5A'};
                 const int r = backend.BT_SPP_RecvData(1, buffer, 4, nullptr); changed = buffer[0] != '\x5A';
                 return r;),
        NULL_ROW(BT_DUN_Dialup, number, return backend.BT_DUN_Dialup(device, nullptr);),
        NULL_ROW(BT_OPP_SendFile, path, unsigned bytes = 7; const int r = backend.BT_OPP_SendFile(device, nullptr, &bytes);
                 changed = bytes != 7; return r;),
        NULL_ROW(BT_OPP_SendFile, bytesSent, return backend.BT_OPP_SendFile(device, L"VornelCheck-no-such-file", nullptr);),
    };
    return checks;
}
