#include "serial/PortIdentity.h"

namespace {

// "Vendor Product", without saying the vendor twice when the product name starts with it.
std::string Name(const DeviceFacts& f) {
    if (f.Vendor.empty()) return f.Product;
    if (f.Product.empty()) return f.Vendor;
    if (f.Product.compare(0, f.Vendor.size(), f.Vendor) == 0) return f.Product;
    return f.Vendor + " " + f.Product;
}

std::string Facts(const DeviceFacts& f) {
    std::string text = Name(f);
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += ", ";
        text += part;
    };
    if (!f.Serial.empty()) add("серийный номер " + f.Serial);
    if (!f.Driver.empty()) add("драйвер " + f.Driver);
    return text;
}

}  // namespace

std::string gDescribePort(const PortIdentity& p) {
    const std::string link = p.Route.empty() ? std::string() : " (ссылка " + p.Route + ")";
    switch (p.Presence) {
    case PortPresence::Nothing: return "нет устройства";
    case PortPresence::Missing: return "нет устройства: " + p.Device + link + " не существует";
    case PortPresence::NotDevice: return p.Device + link + " — не устройство";
    case PortPresence::PtyMaster: return p.Device + link + " — ведущая сторона псевдотерминала, не последовательный порт";
    case PortPresence::Device: {
        std::string facts = Facts(p.Facts);
        // On Windows the number is the device's own name: said once, by the caller.
        if (p.Device == "COM" + std::to_string(p.Number) && p.Route.empty() && !facts.empty()) return facts;
        return p.Device + link + (facts.empty() ? std::string() : ": " + facts);
    }
    }
    return {};
}
