// The generic capability handlers from which the capability records are built, and the shared
// negotiation rules they follow:
//   - MSG_GET answers the full description, MSG_GETCURRENT and MSG_GETDEFAULT one values;
//   - MSG_GETDEFAULT changes nothing; MSG_RESET puts the default into effect exactly as MSG_SET would
//     and answers it, without reading the request's container (MSG_RESETALL sends none);
//   - MSG_SET writes no container back; a refused value answers the record's refusal;
//   - every answer carries the requested id, so one handler can serve two ids;
//   - values held by the scanner are read anew on every call.
#pragma once

#include "datasource/capabilities/CapabilityRegistry.h"
#include "datasource/capabilities/ValueCollector.h"
#include "datasource/tarsin_ds.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace tarsin::caps {

using Twpp::Capability;
using Twpp::ConditionCode;
using Twpp::Result;

// --- Reading and writing one scanner option ---

// What enum_option_values reported, over the handler's fallbacks.
template <typename Raw>
struct OptionValues {
    Raw current{};
    Raw defaultValue{};
    Raw minimum{};
    Raw maximum{};
    Raw step{};
    std::vector<Raw> list;
};

// Which collector fields a read fills; current and default are always filled.
enum ReadParts : unsigned { kReadValues = 0, kReadList = 1, kReadLinkedList = 2, kReadRange = 4 };

// Asks the role getter, presets the fallbacks and, when the device has the option, collects its
// values. Without a scanner or without the option the fallbacks are the answer.
template <typename Raw>
OptionValues<Raw> readOption(const tarsin_ds& source, int role, const Raw& fallbackCurrent,
                             const Raw& fallbackDefault, unsigned parts = kReadValues);

// Asks the role getter again and writes the value; false when the device has no such option or the
// scanner refuses the value.
template <typename Raw>
bool writeOption(const tarsin_ds& source, int role, const Raw& value);

// --- Fixed values ---

// What MSG_SET and MSG_RESET do with a fixed value: accept only the value itself (MSG_RESET answers
// it), or refuse both messages as bad operations.
enum class FixedRule { AcceptSame, ReadOnly };

template <typename T>
Result answerFixedWrite(uint16_t msg, Capability& cap, const T& value, FixedRule rule) {
    if (rule == FixedRule::ReadOnly)
        return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
    if (msg == Twpp::MSG_SET)
        return cap.currentItem<T>() == value ? Twpp::success() : Twpp::failure(Twpp::TWCC_BADVALUE);
    cap = Capability::createOneValue(cap.cap(), value);
    return Twpp::success();
}

namespace detail {
// The fixed-value patterns differ only in what MSG_GET answers: a one-item enumeration or a one value.
template <typename T>
CapabilityHandler fixedValue(T value, FixedRule rule, bool getsEnumeration) {
    return [value, rule, getsEnumeration](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET:
            if (getsEnumeration) {
                cap = Capability::createEnumeration(cap.cap(), &value, &value + 1, 0, 0);
                return Twpp::success();
            }
            [[fallthrough]];
        case Twpp::MSG_GETCURRENT:
        case Twpp::MSG_GETDEFAULT:
            cap = Capability::createOneValue(cap.cap(), value);
            return Twpp::success();
        case Twpp::MSG_SET:
        case Twpp::MSG_RESET:
            return answerFixedWrite(msg, cap, value, rule);
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}
} // namespace detail

template <typename T>
CapabilityHandler fixedEnumeration(T value, FixedRule rule) {
    return detail::fixedValue(value, rule, true);
}

template <typename T>
CapabilityHandler fixedOneValue(T value, FixedRule rule) {
    return detail::fixedValue(value, rule, false);
}

// --- Values kept by the source ---

// A value of the source object: how it reads as T, its default, and how a value is put into effect
// (the record's check, the field, the scanner notification). MSG_RESET puts the default the same way.
template <typename T>
struct Stored {
    std::function<T()> read;
    T defaultValue;
    std::function<Result(T)> put;
};

template <typename T>
Result putStored(uint16_t msg, Capability& cap, const Stored<T>& stored) {
    if (msg == Twpp::MSG_SET)
        return stored.put(cap.currentItem<T>());
    const Result result = stored.put(stored.defaultValue);
    if (result.isSuccess())
        cap = Capability::createOneValue(cap.cap(), stored.defaultValue);
    return result;
}

template <typename T>
CapabilityHandler storedOneValue(Stored<T> stored) {
    return [stored = std::move(stored)](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET:
        case Twpp::MSG_GETCURRENT:
            cap = Capability::createOneValue(cap.cap(), stored.read());
            return Twpp::success();
        case Twpp::MSG_GETDEFAULT:
            cap = Capability::createOneValue(cap.cap(), stored.defaultValue);
            return Twpp::success();
        case Twpp::MSG_SET:
        case Twpp::MSG_RESET:
            return putStored(msg, cap, stored);
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}

// Position of value in items; the number of items when it is not there.
template <typename T>
uint32_t positionOf(const std::vector<T>& items, const T& value) {
    return static_cast<uint32_t>(std::find(items.begin(), items.end(), value) - items.begin());
}

// The enumeration of a stored value: a fixed list, the index of the current value (its position in
// the list unless the record says otherwise), and the default's fixed index.
template <typename T>
CapabilityHandler storedEnumeration(Stored<T> stored, std::vector<T> list, uint32_t defaultIndex,
                                    uint32_t (*currentIndex)(T) = nullptr) {
    return [stored = std::move(stored), list = std::move(list), defaultIndex,
            currentIndex](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET: {
            const T current = stored.read();
            const uint32_t index = currentIndex ? currentIndex(current) : positionOf(list, current);
            cap = Capability::createEnumeration(cap.cap(), list, index, defaultIndex);
            return Twpp::success();
        }
        case Twpp::MSG_GETCURRENT:
            cap = Capability::createOneValue(cap.cap(), stored.read());
            return Twpp::success();
        case Twpp::MSG_GETDEFAULT:
            cap = Capability::createOneValue(cap.cap(), stored.defaultValue);
            return Twpp::success();
        case Twpp::MSG_SET:
        case Twpp::MSG_RESET:
            return putStored(msg, cap, stored);
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}

// --- Values held by the scanner ---

// One scanner option as a capability sees it: its role, the fallbacks used when the device does not
// report a value, the conversions between the option's representation and the capability's value,
// and the condition that a refused write answers.
template <typename Raw, typename T>
struct ScannerOption {
    int role;
    Raw fallbackCurrent;
    Raw fallbackDefault;
    T (*toTwain)(Raw);
    Raw (*fromTwain)(T);
    ConditionCode refusal = Twpp::TWCC_BADVALUE;
};

template <typename Raw, typename T>
Result writeConverted(const tarsin_ds& source, const ScannerOption<Raw, T>& option, const Raw& raw) {
    return writeOption(source, option.role, raw) ? Twpp::success() : Twpp::failure(option.refusal);
}

// MSG_SET converts the application's value back; MSG_RESET writes the option's own default.
template <typename Raw, typename T>
Result putScanner(const tarsin_ds& source, uint16_t msg, Capability& cap,
                  const ScannerOption<Raw, T>& option) {
    if (msg == Twpp::MSG_SET)
        return writeConverted(source, option, option.fromTwain(cap.currentItem<T>()));
    const OptionValues<Raw> values =
        readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault);
    const Result result = writeConverted(source, option, values.defaultValue);
    if (result.isSuccess())
        cap = Capability::createOneValue(cap.cap(), option.toTwain(values.defaultValue));
    return result;
}

// The option's list in the scanner's order; the indexes of the current and the default value are
// found independently, the number of items when a value is not listed.
template <typename Raw, typename T>
CapabilityHandler scannerEnumeration(const tarsin_ds& source, ScannerOption<Raw, T> option,
                                     unsigned listParts = kReadList) {
    return [&source, option, listParts](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET: {
            const OptionValues<Raw> values =
                readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault, listParts);
            std::vector<T> items;
            items.reserve(values.list.size());
            for (const Raw& raw : values.list)
                items.push_back(option.toTwain(raw));
            cap = Capability::createEnumeration(cap.cap(), items,
                                                positionOf(items, option.toTwain(values.current)),
                                                positionOf(items, option.toTwain(values.defaultValue)));
            return Twpp::success();
        }
        case Twpp::MSG_GETCURRENT:
        case Twpp::MSG_GETDEFAULT: {
            const OptionValues<Raw> values =
                readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault);
            const Raw& raw = msg == Twpp::MSG_GETCURRENT ? values.current : values.defaultValue;
            cap = Capability::createOneValue(cap.cap(), option.toTwain(raw));
            return Twpp::success();
        }
        case Twpp::MSG_SET:
        case Twpp::MSG_RESET:
            return putScanner(source, msg, cap, option);
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}

// Maps a scanner range [minimum, maximum] onto a fixed TWAIN range [low, high], in single precision.
// A scanner range of one value cannot be scaled: it maps to low, and back to the scanner's minimum.
struct LinearMap {
    float minimum;
    float maximum;
    float low;
    float high;

    float toTwain(float value) const {
        if (maximum == minimum)
            return low;
        return (value - minimum) / (maximum - minimum) * (high - low) + low;
    }
    float stepToTwain(float step) const {
        if (maximum == minimum)
            return 0.0f;
        return step * (high - low) / (maximum - minimum);
    }
    int32_t fromTwain(float value) const {
        if (high == low)
            return static_cast<int32_t>(minimum + 0.5f);
        return static_cast<int32_t>((value - low) / (high - low) * (maximum - minimum) + minimum + 0.5f);
    }
};

// A range of the option's minimum, maximum and step, each converted; MSG_SET applies the record's
// range check to the application's value before converting it back.
template <typename Raw, typename T>
CapabilityHandler scannerRange(const tarsin_ds& source, ScannerOption<Raw, T> option, T (*stepToTwain)(Raw),
                               bool (*inRange)(const OptionValues<Raw>&, T)) {
    return [&source, option, stepToTwain, inRange](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET: {
            const OptionValues<Raw> values =
                readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault, kReadRange);
            cap =
                Capability::createRange(cap.cap(), option.toTwain(values.minimum),
                                        option.toTwain(values.maximum), stepToTwain(values.step),
                                        option.toTwain(values.current), option.toTwain(values.defaultValue));
            return Twpp::success();
        }
        case Twpp::MSG_GETCURRENT:
        case Twpp::MSG_GETDEFAULT: {
            const OptionValues<Raw> values =
                readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault);
            const Raw& raw = msg == Twpp::MSG_GETCURRENT ? values.current : values.defaultValue;
            cap = Capability::createOneValue(cap.cap(), option.toTwain(raw));
            return Twpp::success();
        }
        case Twpp::MSG_SET: {
            const T value = cap.currentItem<T>();
            const OptionValues<Raw> values =
                readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault, kReadRange);
            if (!inRange(values, value))
                return Twpp::failure(option.refusal);
            return writeConverted(source, option, option.fromTwain(value));
        }
        case Twpp::MSG_RESET:
            return putScanner(source, msg, cap, option);
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}

// One value of the option's current value; the default is the option's own unless the record fixes
// one, and MSG_RESET writes that default.
template <typename Raw, typename T>
CapabilityHandler scannerOneValue(const tarsin_ds& source, ScannerOption<Raw, T> option,
                                  std::optional<T> fixedDefault = std::nullopt) {
    return [&source, option, fixedDefault](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET:
        case Twpp::MSG_GETCURRENT:
        case Twpp::MSG_GETDEFAULT: {
            const OptionValues<Raw> values =
                readOption(source, option.role, option.fallbackCurrent, option.fallbackDefault);
            T answer = option.toTwain(msg == Twpp::MSG_GETDEFAULT ? values.defaultValue : values.current);
            if (msg == Twpp::MSG_GETDEFAULT && fixedDefault)
                answer = *fixedDefault;
            cap = Capability::createOneValue(cap.cap(), answer);
            return Twpp::success();
        }
        case Twpp::MSG_SET:
            return putScanner(source, msg, cap, option);
        case Twpp::MSG_RESET: {
            if (!fixedDefault)
                return putScanner(source, msg, cap, option);
            const Result result = writeConverted(source, option, option.fromTwain(*fixedDefault));
            if (result.isSuccess())
                cap = Capability::createOneValue(cap.cap(), *fixedDefault);
            return result;
        }
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}

// A value the scanner answers on every call; it cannot be set.
template <typename T>
CapabilityHandler scannerReadOnly(std::function<T()> read) {
    return [read = std::move(read)](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case Twpp::MSG_GET:
        case Twpp::MSG_GETCURRENT:
        case Twpp::MSG_GETDEFAULT:
            cap = Capability::createOneValue(cap.cap(), read());
            return Twpp::success();
        default:
            return Twpp::failure(Twpp::TWCC_CAPBADOPERATION);
        }
    };
}

} // namespace tarsin::caps
