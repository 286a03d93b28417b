#include "Profile.h"

#include "BuiltinProfiles.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace simscanner {

namespace {

using nlohmann::json;

// A chain of bases longer than this is taken for a loop.
constexpr int kMaximumBaseDepth = 8;

json readProfileJson(const std::string& nameOrPath, int depth) {
    if (depth > kMaximumBaseDepth)
        throw ProfileError("profile bases nest too deeply (a loop?) at " + nameOrPath);
    json document;
    try {
        if (const char* builtin = builtinProfileText(nameOrPath)) {
            document = json::parse(builtin);
        } else {
            std::ifstream file(nameOrPath);
            if (!file)
                throw ProfileError("no built-in profile and no readable file named " + nameOrPath);
            document = json::parse(file);
        }
    } catch (const json::exception& error) {
        throw ProfileError("profile " + nameOrPath + " is not valid JSON: " + error.what());
    }
    if (!document.is_object())
        throw ProfileError("profile " + nameOrPath + " is not a JSON object");
    if (document.contains("base")) {
        const std::string baseName = document["base"].get<std::string>();
        document.erase("base");
        json merged = readProfileJson(baseName, depth + 1);
        merged.merge_patch(document); // objects merge key by key; null removes a key
        return merged;
    }
    return document;
}

int32_t valueTypeFromName(const std::string& name, bool& isFormatRecord) {
    isFormatRecord = false;
    if (name == "boolean")
        return kTypeBoolean;
    if (name == "integer")
        return kTypeInteger;
    if (name == "fixed")
        return kTypeFixed;
    if (name == "text")
        return kTypeText;
    if (name == "format") {
        isFormatRecord = true;
        return kTypeInteger;
    }
    throw ProfileError("unknown option type \"" + name + "\"");
}

OptionValue valueFromJson(const json& value, int32_t valueType) {
    OptionValue result;
    if (valueType == kTypeText) {
        result.text = value.get<std::string>();
    } else if (value.is_boolean()) {
        result.number = value.get<bool>() ? 1 : 0;
    } else {
        result.number = value.get<double>();
        if (valueType == kTypeFixed)
            result.number = static_cast<float>(result.number); // fixed values cross as floats
    }
    return result;
}

OptionDescriptor optionFromJson(int role, const json& entry) {
    OptionDescriptor option;
    option.role = role;
    option.valueType = valueTypeFromName(entry.value("type", std::string("integer")), option.isFormatRecord);
    const bool hasList = entry.contains("list");
    const bool hasRange = entry.contains("range");
    if (hasList && hasRange)
        throw ProfileError("option " + std::to_string(role) + " has both a list and a range");
    if (hasList) {
        option.constraint = kConstraintList;
        for (const json& value : entry["list"])
            option.list.push_back(valueFromJson(value, option.valueType));
    } else if (hasRange) {
        if (option.valueType != kTypeInteger && option.valueType != kTypeFixed)
            throw ProfileError("option " + std::to_string(role) + " has a range but is not a number");
        const json& range = entry["range"];
        option.constraint = kConstraintRange;
        option.minimum = valueFromJson(range.at("min"), option.valueType);
        option.maximum = valueFromJson(range.at("max"), option.valueType);
        option.step = valueFromJson(range.value("step", json(1)), option.valueType);
    }
    if (entry.contains("default"))
        option.defaultValue = valueFromJson(entry["default"], option.valueType);
    else if (!option.list.empty())
        option.defaultValue = option.list.front();
    else if (hasRange)
        option.defaultValue = option.minimum;
    option.current =
        entry.contains("current") ? valueFromJson(entry["current"], option.valueType) : option.defaultValue;
    return option;
}

Profile profileFromJson(const json& document) {
    Profile profile;
    profile.name = document.value("name", std::string("unnamed"));
    profile.isOnline = document.value("online", true);
    if (document.contains("feeder")) {
        const json& feeder = document["feeder"];
        profile.isFeederLoaded = feeder.value("loaded", true);
        profile.sheets = feeder.value("sheets", 3);
    }
    profile.hasIndicators = document.value("indicators", true);
    profile.showUserInterfaceAnswer = document.value("showUserInterface", true);
    profile.showIndicatorsAnswer = document.value("showIndicators", true);
    if (document.contains("ui")) {
        const json& ui = document["ui"];
        const std::string action = ui.value("action", std::string("none"));
        if (action == "scan")
            profile.userInterfaceAction = UserInterfaceAction::Scan;
        else if (action == "close")
            profile.userInterfaceAction = UserInterfaceAction::Close;
        else if (action != "none")
            throw ProfileError("unknown ui action \"" + action + "\"");
        profile.userInterfaceAfterPolls = ui.value("afterPolls", 0);
    }
    const std::string fileTransfer = document.value("fileTransfer", std::string("bytes"));
    if (fileTransfer != "bytes" && fileTransfer != "file")
        throw ProfileError("fileTransfer must be \"bytes\" or \"file\"");
    profile.transferAsFile = fileTransfer == "file";
    profile.customData = document.value("customData", std::string());
    if (document.contains("page")) {
        const json& page = document["page"];
        profile.pageWithoutOptions.dpi = page.value("dpi", 200);
        profile.pageWithoutOptions.colourMode = page.value("colourMode", static_cast<int>(kColour));
        profile.pageWithoutOptions.paperSize = page.value("paperSize", kPaperA4);
    }
    if (document.contains("faults")) {
        const json& faults = document["faults"];
        profile.faults.openStatus = faults.value("openStatus", 0);
        profile.faults.noScanner = faults.value("noScanner", false);
        profile.faults.startScanStatus = faults.value("startScanStatus", 0);
        profile.faults.jamAfterPages = faults.value("jamAfterPages", -1);
        profile.faults.readFails = faults.value("readFails", false);
        profile.faults.dataAtFails = faults.value("dataAtFails", false);
        profile.faults.chunkBytes = faults.value("chunkBytes", 0u);
        if (faults.value("offline", false))
            profile.isOnline = false;
    }
    if (document.contains("options")) {
        for (const auto& [key, entry] : document["options"].items()) {
            int role = 0;
            std::istringstream(key) >> role;
            if (role < 1 || role > 79)
                throw ProfileError("option role \"" + key + "\" is not 1 to 79");
            if (!entry.is_null())
                profile.options.push_back(optionFromJson(role, entry));
        }
    }
    std::sort(
        profile.options.begin(), profile.options.end(),
        [](const OptionDescriptor& left, const OptionDescriptor& right) { return left.role < right.role; });
    return profile;
}

} // namespace

Profile loadProfile(const std::string& nameOrPath) {
    const json document = readProfileJson(nameOrPath, 0);
    try {
        return profileFromJson(document);
    } catch (const json::exception& error) {
        throw ProfileError("profile " + nameOrPath + " has a field of the wrong kind: " + error.what());
    }
}

} // namespace simscanner
