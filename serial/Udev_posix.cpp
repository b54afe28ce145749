#include "serial/Udev_posix.h"

#include <libudev.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace {

using DevicePtr = std::unique_ptr<udev_device, decltype(&udev_device_unref)>;

std::string Text(const char* value) { return value ? value : ""; }

// The first of the properties that the device has.
std::string Property(udev_device* d, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (const char* value = udev_device_get_property_value(d, name); value && *value) return value;
    }
    return {};
}

// The driver of the device or of the nearest parent that has one: for a tty that is the
// serial driver behind it (ftdi_sio, cdc_acm, serial). The serial core's own port and
// controller devices ("serial-base") say nothing of the hardware and are passed over.
std::string Driver(udev_device* d) {
    for (udev_device* at = d; at; at = udev_device_get_parent(at)) {
        const char* subsystem = udev_device_get_subsystem(at);
        if (subsystem && std::string(subsystem) == "serial-base") continue;
        if (const char* driver = udev_device_get_driver(at)) return driver;
    }
    return {};
}

}  // namespace

UdevView::UdevView() : Context(udev_new()) {}

UdevView::~UdevView() {
    if (Context) udev_unref(Context);
}

DeviceFacts UdevView::Facts(dev_t device) const {
    if (!Context) return {};
    const DevicePtr d(udev_device_new_from_devnum(Context, 'c', device), &udev_device_unref);
    if (!d) return {};
    DeviceFacts facts;
    facts.Driver = Driver(d.get());
    // The database names come from udevd; without it the USB device's own strings stand.
    facts.Vendor = Property(d.get(), {"ID_VENDOR_FROM_DATABASE", "ID_VENDOR"});
    facts.Product = Property(d.get(), {"ID_MODEL_FROM_DATABASE", "ID_MODEL"});
    facts.Serial = Property(d.get(), {"ID_SERIAL_SHORT"});
    if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(d.get(), "usb", "usb_device")) {
        if (facts.Vendor.empty()) facts.Vendor = Text(udev_device_get_sysattr_value(usb, "manufacturer"));
        if (facts.Product.empty()) facts.Product = Text(udev_device_get_sysattr_value(usb, "product"));
        if (facts.Serial.empty()) facts.Serial = Text(udev_device_get_sysattr_value(usb, "serial"));
    }
    return facts;
}

bool UdevView::ModemManagerIgnores(dev_t device) const {
    if (!Context) return false;
    const DevicePtr d(udev_device_new_from_devnum(Context, 'c', device), &udev_device_unref);
    return d && Property(d.get(), {"ID_MM_DEVICE_IGNORE"}) == "1";
}
