// Serial port listing: the ports come from sysfs, which is there even where the udev
// database is not (containers, early boot); udev only adds the model where it knows one.

#include <libudev.h>

#include "devicelink/LinkPlatform.h"
#include "devicelink/posix/SysfsPorts.h"
#include "devicelink/posix/UdevModel.h"

namespace devicelink::platform {

namespace {

std::string udevModel(udev* context, const std::string& classPath) {
    udev_device* device = udev_device_new_from_syspath(context, classPath.c_str());
    if (device == nullptr) {
        return "";
    }
    std::string model =
        describeUdevModel(udev_device_get_property_value(device, "ID_MODEL_FROM_DATABASE"),
                          udev_device_get_property_value(device, "ID_MODEL_ENC"),
                          udev_device_get_property_value(device, "ID_MODEL"));
    udev_device_unref(device);
    return model;
}

}  // namespace

bool listSerialPorts(std::vector<PortRecord>& out) {
    udev* context = udev_new();
    ModelLookup model;
    if (context != nullptr) {
        model = [context](const std::string& classPath) { return udevModel(context, classPath); };
    }
    const bool listed = listSysfsPorts("/sys", model, out);
    if (context != nullptr) {
        udev_unref(context);
    }
    return listed;
}

}  // namespace devicelink::platform
