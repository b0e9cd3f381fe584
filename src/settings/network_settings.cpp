#include "settings/network_settings.h"

#include <iterator>

namespace vornetica {

const char* kindTag(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return "BPN";
        case NetworkKind::CPN:
            return "CPN";
        case NetworkKind::BSB:
            return "BSB";
        case NetworkKind::DA:
            return "DA";
    }
    return "";
}

void setDefaultSettings(NetworkSettings& settings) {
    settings.DataEntryMode = Manual;
    clearEncodeFlags(settings);
    clearRecallFlags(settings);
    settings.ThresholdFunction = ThresholdKind::NoneChosen;
    settings.LinearSlope = 1.0;
    settings.RampBoundary = 1.0;
    settings.StepUpperBoundary = 1.0;
    settings.StepLowerBoundary = -1.0;
}

std::int16_t& encodeFlag(NetworkSettings& settings, NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return settings.EncodeBPNFlag;
        case NetworkKind::CPN:
            return settings.EncodeCPNFlag;
        case NetworkKind::BSB:
            return settings.EncodeBSBFlag;
        case NetworkKind::DA:
            break;
    }
    return settings.EncodeDAFlag;
}

std::int16_t& recallFlag(NetworkSettings& settings, NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return settings.RecallBPNFlag;
        case NetworkKind::CPN:
            return settings.RecallCPNFlag;
        case NetworkKind::BSB:
            return settings.RecallBSBFlag;
        case NetworkKind::DA:
            break;
    }
    return settings.RecallDAFlag;
}

namespace {
// The order in which the training window, save and the recall window test the flags.
constexpr NetworkKind kFlagOrder[] = {NetworkKind::BPN, NetworkKind::BSB, NetworkKind::CPN,
                                      NetworkKind::DA};
}  // namespace

bool trainsToErrorThreshold(NetworkKind kind) {
    return kind == NetworkKind::BPN || kind == NetworkKind::BSB;
}

std::optional<NetworkKind> encodeKind(const NetworkSettings& settings) {
    const std::int16_t flags[] = {settings.EncodeBPNFlag, settings.EncodeBSBFlag,
                                  settings.EncodeCPNFlag, settings.EncodeDAFlag};
    for (std::size_t n = 0; n < std::size(kFlagOrder); ++n) {
        if (flags[n] == 1) {
            return kFlagOrder[n];
        }
    }
    return std::nullopt;
}

std::optional<NetworkKind> recallKind(const NetworkSettings& settings) {
    const std::int16_t flags[] = {settings.RecallBPNFlag, settings.RecallBSBFlag,
                                  settings.RecallCPNFlag, settings.RecallDAFlag};
    for (std::size_t n = 0; n < std::size(kFlagOrder); ++n) {
        if (flags[n] == 1) {
            return kFlagOrder[n];
        }
    }
    return std::nullopt;
}

void clearEncodeFlags(NetworkSettings& settings) {
    settings.EncodeDAFlag = 0;
    settings.EncodeBPNFlag = 0;
    settings.EncodeCPNFlag = 0;
    settings.EncodeBSBFlag = 0;
}

void clearRecallFlags(NetworkSettings& settings) {
    settings.RecallDAFlag = 0;
    settings.RecallBPNFlag = 0;
    settings.RecallCPNFlag = 0;
    settings.RecallBSBFlag = 0;
}

}  // namespace vornetica
