// Records of the image format and geometry capabilities, where they need more than a pattern's
// arguments.
#include "datasource/capabilities/CapabilitySetup.h"

namespace tarsin {

using namespace Twpp;
using namespace caps;

namespace {
constexpr int kRoleAutomaticColor = 3;
constexpr int kRoleResolution = 24;
constexpr int kRoleNonColorPixelType = 56;
constexpr int kRoleLandscape = 60;
constexpr int kRoleAutoSize = 61;

// Values of the automatic colour option (role 3).
constexpr int32_t kAutomaticColorOn = 2572;
constexpr int32_t kAutomaticColorOff = 2;

// The scan area is in inches at the current resolution; without one (or with a resolution of 0,
// which would divide by zero) the device's usual 200 dpi is assumed.
constexpr int32_t kAssumedResolution = 200;
constexpr float kSizeWithoutImage = 10.0f;

// An option that switches between two capability values: off when the option reads otherwise.
// MSG_GET lists both with the default (off) first; MSG_RESET switches the option off.
template <typename Raw, typename T>
struct Switch {
    int role;
    Raw fallback;
    T off;
    T on;
    bool (*isOn)(Raw);
    Raw (*toOption)(T);
    // The automatic colour switch answers success even when the device lacks or refuses it.
    bool isWriteAlwaysAccepted = false;
};

template <typename Raw, typename T>
CapabilityHandler switchEnumeration(const tarsin_ds& source, Switch<Raw, T> option) {
    return [&source, option](uint16_t msg, Capability& cap) -> Result {
        const auto put = [&](T value) {
            const bool isWritten = writeOption(source, option.role, option.toOption(value));
            return isWritten || option.isWriteAlwaysAccepted ? success() : failure(TWCC_BADVALUE);
        };
        switch (msg) {
        case MSG_GET:
        case MSG_GETCURRENT: {
            const bool isOn =
                option.isOn(readOption(source, option.role, option.fallback, option.fallback).current);
            if (msg == MSG_GET) {
                const T items[] = {option.off, option.on};
                cap = Capability::createEnumeration(cap.cap(), items, items + 2, isOn ? 1 : 0, 0);
            } else {
                cap = Capability::createOneValue(cap.cap(), isOn ? option.on : option.off);
            }
            return success();
        }
        case MSG_GETDEFAULT:
            cap = Capability::createOneValue(cap.cap(), option.off);
            return success();
        case MSG_SET:
            return put(cap.currentItem<T>());
        case MSG_RESET: {
            const Result result = put(option.off);
            if (result.isSuccess())
                cap = Capability::createOneValue(cap.cap(), option.off);
            return result;
        }
        default:
            return failure(TWCC_CAPBADOPERATION);
        }
    };
}
} // namespace

CapabilityHandler CapabilitySetup::physicalSize(bool isWidth) {
    const tarsin_ds& source = m_source;
    return scannerReadOnly<Fix32>([&source, isWidth] {
        int32_t resolution =
            readOption<int32_t>(source, kRoleResolution, kAssumedResolution, kAssumedResolution).current;
        if (resolution == 0)
            resolution = kAssumedResolution;
        backend::ImageParams params{};
        if (!source.scanner()->get_image_params(&params, nullptr))
            return Fix32(kSizeWithoutImage);
        const float pixels = static_cast<float>(isWidth ? params.pixels_per_line : params.lines);
        return Fix32(pixels / static_cast<float>(resolution));
    });
}

CapabilityHandler CapabilitySetup::automaticColor() {
    Switch<int32_t, Bool> option{kRoleAutomaticColor,
                                 0,
                                 Bool(false),
                                 Bool(true),
                                 [](int32_t mode) { return mode == kAutomaticColorOn; },
                                 [](Bool isOn) { return isOn ? kAutomaticColorOn : kAutomaticColorOff; },
                                 true};
    return switchEnumeration(m_source, option);
}

CapabilityHandler CapabilitySetup::orientation() {
    Switch<uint8_t, Orientation> option{kRoleLandscape, 0, TWOR_ROT0, TWOR_LANDSCAPE,
                                        [](uint8_t isLandscape) { return isLandscape != 0; },
                                        // Portrait for every other value, the rotations included.
                                        [](Orientation value) -> uint8_t { return value == TWOR_LANDSCAPE; }};
    return switchEnumeration(m_source, option);
}

CapabilityHandler CapabilitySetup::autoSize() {
    Switch<uint8_t, AutoSize> option{kRoleAutoSize,
                                     1,
                                     TWAS_NONE,
                                     TWAS_AUTO,
                                     [](uint8_t isAuto) { return isAuto != 0; },
                                     [](AutoSize value) -> uint8_t { return value == TWAS_AUTO; }};
    return switchEnumeration(m_source, option);
}

// Written to the scanner first; the source keeps the value only once the scanner took it. A value
// outside black-and-white and grey, a missing option and a refusal all answer TWCC_SEQERROR.
CapabilityHandler CapabilitySetup::nonColorPixelType() {
    tarsin_ds& source = m_source;
    Stored<PixelType> stored{[&source] { return static_cast<PixelType>(source.m_nonColorPixelType); },
                             TWPT_GRAY,
                             [&source](PixelType value) {
                                 if (value != TWPT_BW && value != TWPT_GRAY)
                                     return failure(TWCC_SEQERROR);
                                 if (!writeOption(source, kRoleNonColorPixelType, int32_t{value}))
                                     return failure(TWCC_SEQERROR);
                                 source.m_nonColorPixelType = value;
                                 return success();
                             }};
    return storedEnumeration<PixelType>(std::move(stored), {TWPT_BW, TWPT_GRAY}, 1,
                                        [](PixelType value) -> uint32_t { return value; });
}

} // namespace tarsin
