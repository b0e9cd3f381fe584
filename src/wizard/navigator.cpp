#include "wizard/navigator.h"

namespace vornetica::navigation {

namespace {

std::optional<NetworkKind> kindOf(ChosenType type) {
    switch (type) {
        case ChosenType::BPN:
            return NetworkKind::BPN;
        case ChosenType::CPN:
            return NetworkKind::CPN;
        case ChosenType::DA:
            return NetworkKind::DA;
        case ChosenType::BSB:
            return NetworkKind::BSB;
        case ChosenType::FAM:
        case ChosenType::BM:
            break;
    }
    return std::nullopt;
}

Screen encodeScreenOf(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return Screen::EncodeBPN;
        case NetworkKind::CPN:
            return Screen::EncodeCPN;
        case NetworkKind::BSB:
            return Screen::EncodeBSB;
        case NetworkKind::DA:
            break;
    }
    return Screen::EncodeDA;
}

Screen recallScreenOf(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return Screen::RecallBPN;
        case NetworkKind::CPN:
            return Screen::RecallCPN;
        case NetworkKind::BSB:
            return Screen::RecallBSB;
        case NetworkKind::DA:
            break;
    }
    return Screen::RecallDA;
}

}  // namespace

ChooserOutcome chooserNext(NetworkSettings& settings, const ChooserSelection& selection) {
    if (!selection.operation) {
        return {ChooserOutcome::Kind::MissingOperation};
    }
    if (!selection.type) {
        return {ChooserOutcome::Kind::MissingType};
    }
    const std::optional<NetworkKind> kind = kindOf(*selection.type);
    if (!kind) {
        return {ChooserOutcome::Kind::NotInThisVersion};
    }
    ChooserOutcome outcome{ChooserOutcome::Kind::Show};
    if (*selection.operation == Operation::Encode) {
        encodeFlag(settings, *kind) = 1;
        outcome.next = encodeScreenOf(*kind);
    } else {
        recallFlag(settings, *kind) = 1;
        outcome.next = recallScreenOf(*kind);
    }
    if (selection.dataEntryMode) {
        settings.DataEntryMode = *selection.dataEntryMode;
    }
    return outcome;
}

Screen encodeParameterScreen(const NetworkSettings& settings) {
    return encodeScreenOf(encodeKind(settings).value_or(NetworkKind::DA));
}

Screen recallLoadingScreen(const NetworkSettings& settings) {
    return recallScreenOf(recallKind(settings).value_or(NetworkKind::DA));
}

Screen gridScreen(const NetworkSettings& settings) {
    const NetworkKind kind = encodeKind(settings).value_or(NetworkKind::DA);
    return (kind == NetworkKind::BPN || kind == NetworkKind::CPN) ? Screen::EncodeDataEntry
                                                                  : Screen::EncodeDataEntry2;
}

Screen afterParameterNext(const NetworkSettings& settings) {
    if (settings.ReturnToTraining == -1) {
        return Screen::EncodeWindow;
    }
    if (settings.DataEntryMode == Manual) {
        return gridScreen(settings);
    }
    return Screen::TrainingFiles;
}

Screen parameterBack(NetworkSettings& settings) {
    clearEncodeFlags(settings);
    return Screen::ChooseNetwork;
}

Screen afterLoadingNext(const NetworkSettings& settings) {
    return settings.DataEntryMode == Manual ? Screen::RecallDataEntry : Screen::TrainingFiles;
}

Screen loadingBack(NetworkSettings& settings) {
    clearRecallFlags(settings);
    return Screen::ChooseNetwork;
}

bool trainingFilesServesRecall(const NetworkSettings& settings) {
    return recallKind(settings).has_value();
}

Screen trainingFilesNext(const NetworkSettings& settings) {
    return trainingFilesServesRecall(settings) ? Screen::RecallDataEntry : Screen::EncodeWindow;
}

Screen trainingFilesBack(const NetworkSettings& settings) {
    return trainingFilesServesRecall(settings) ? recallLoadingScreen(settings)
                                               : encodeParameterScreen(settings);
}

Screen changeParameters(NetworkSettings& settings) {
    settings.ReturnToTraining = -1;
    return encodeParameterScreen(settings);
}

Screen changeData(const NetworkSettings& settings) {
    if (settings.DataEntryMode != Manual) {
        return Screen::TrainingFiles;
    }
    return gridScreen(settings);
}

Screen encodeStartOver(NetworkSettings& settings) {
    clearEncodeFlags(settings);
    return Screen::ChooseNetwork;
}

Screen recallBack(const NetworkSettings& settings) {
    return recallLoadingScreen(settings);
}

Screen recallStartOver(NetworkSettings& settings) {
    clearRecallFlags(settings);
    return Screen::ChooseNetwork;
}

}  // namespace vornetica::navigation
