// Serial port listing through the device-setup functions: every present device with the
// serial-port interface, its "PortName" from its own registry key, its description,
// whether its enumerator makes it the computer's own, and its USB identity from its
// instance id (or its parent's, for an interface of a composite device).

#include <windows.h>
// After windows.h, which they need.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <vector>

#include "devicelink/BoardIdentity.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/PortEnumerator.h"
#include "devicelink/win32/RegistryText.h"
#include "widetext/win32/WideText.h"

namespace devicelink::platform {

namespace {

// The serial-port device interface class, {86E0D1E0-8089-11D0-9CE4-08003E301F73}.
const GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The device's "PortName", e.g. COM3; empty when it has none that can be read.
std::string portName(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key =
        ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE || key == nullptr) {
        return "";
    }
    std::vector<wchar_t> value(256);
    std::string name;
    for (;;) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LONG result = ::RegQueryValueExW(key, L"PortName", nullptr, &type,
                                               reinterpret_cast<BYTE*>(value.data()), &bytes);
        if (result == ERROR_MORE_DATA) {
            value.resize(bytes / sizeof(wchar_t) + 1);
            continue;
        }
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            name = registryText(value.data(), bytes / sizeof(wchar_t));
        }
        break;
    }
    ::RegCloseKey(key);
    return name;
}

// A text property of the device, e.g. its description "USB Serial Device" or its
// enumerator "USB"; empty when it cannot be read.
std::string deviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    std::vector<BYTE> value(256);
    for (;;) {
        DWORD needed = 0;
        if (::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, value.data(),
                                                static_cast<DWORD>(value.size()), &needed)) {
            return registryText(reinterpret_cast<const wchar_t*>(value.data()),
                                needed / sizeof(wchar_t));
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= value.size()) {
            return "";
        }
        value.resize(needed);
    }
}

// The instance id of a device node, e.g. USB\VID_2341&PID_0043\8573...; empty when unknown.
std::string instanceId(DEVINST node) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = L"";
    if (::CM_Get_Device_IDW(node, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) {
        return "";
    }
    return widetext::toUtf8(id);
}

// The USB identity of the port's device; a composite device's interface has the serial
// number on its parent, the device itself.
void usbIdentity(const SP_DEVINFO_DATA& device, PortRecord& port) {
    std::string vendor;
    std::string product;
    std::string serial;
    if (!parseInstanceId(instanceId(device.DevInst), vendor, product, serial)) {
        return;
    }
    DEVINST parent = 0;
    if (serial.empty() && ::CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS) {
        std::string parentVendor;
        std::string parentProduct;
        std::string parentSerial;
        if (parseInstanceId(instanceId(parent), parentVendor, parentProduct, parentSerial) &&
            parentVendor == vendor) {
            serial = parentSerial;
        }
    }
    port.usbVendor = vendor;
    port.usbProduct = product;
    port.serialNumber = serial;
}

}  // namespace

bool listSerialPorts(std::vector<PortRecord>& out) {
    HDEVINFO set = ::SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr,
                                          DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool listed = true;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        if (!::SetupDiEnumDeviceInfo(set, index, &device)) {
            const DWORD error = ::GetLastError();
            listed = error == ERROR_NO_MORE_ITEMS || error == ERROR_SUCCESS;
            break;
        }
        std::string name = portName(set, device);
        if (name.empty()) {
            continue;
        }
        // Described or not: which ports reach the user is decided above the backend.
        PortRecord port{std::move(name), deviceProperty(set, device, SPDRP_DEVICEDESC),
                        isBuiltInEnumerator(deviceProperty(set, device, SPDRP_ENUMERATOR_NAME))};
        usbIdentity(device, port);
        out.push_back(std::move(port));
    }
    // Released also after a failed enumeration.
    ::SetupDiDestroyDeviceInfoList(set);
    return listed;
}

}  // namespace devicelink::platform
