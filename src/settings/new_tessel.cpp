#include "settings/new_tessel.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "config/entries.h"

namespace qv::settings {

namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// A title is a file name of the Tessels folder: none of the characters the file system
// refuses, no control characters, and no trailing dot (which the system drops).
bool IsPlainTitle(std::string_view title) {
    for (const char c : title) {
        if (static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return title.back() != '.' && title != "..";
}

std::string FileNameOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string SkippedList(const making::MakeResult& result) {
    std::string text;
    for (const making::SkippedPicture& skipped : result.skipped) {
        text += "\n" + FileNameOf(skipped.picture) + ": " + skipped.reason;
    }
    return text;
}

}  // namespace

NewTesselPlan PlanNewTessel(platform::Files& files, const config::TesselFolders& folders,
                            const NewTesselForm& form, making::FitBox largest) {
    NewTesselPlan plan;
    plan.title = Trimmed(form.name);
    plan.folder = Trimmed(form.folder);
    if (plan.folder.empty()) {
        plan.refusal = "Choose the folder that holds the pictures.";
    } else if (plan.title.empty()) {
        plan.refusal = "Give the new Tessel a name.";
    } else if (!IsPlainTitle(plan.title)) {
        plan.refusal = "A Tessel's name cannot hold \\ / : * ? \" < > | and cannot end in a dot.";
    } else if (config::FindTessel(files, {folders.installation, {}}, plan.title)) {
        plan.refusal = "This computer's installation has a Tessel named '" + plan.title +
                       "' already, which would be shown instead of yours. Choose another name.";
    } else if (folders.user.empty()) {
        plan.refusal = "This computer gives no folder for your own Tessels.";
    } else if (!files.CreateFolder(folders.user)) {
        plan.refusal = "The folder for your own Tessels (" + folders.user + ") cannot be made.";
    }
    if (!plan.refusal.empty()) {
        return plan;
    }
    plan.request.target = config::TesselPath(folders.user, plan.title);
    plan.replaces = files.FileExists(plan.request.target);
    plan.request.quality = kNewTesselQuality;
    plan.request.links = form.links;
    for (std::string& link : plan.request.links) {
        link = Trimmed(link);
    }
    switch (form.size) {
        case SizeChoice::LargestMonitor:
            plan.request.fit = largest;
            break;
        case SizeChoice::LinkLayout:
            plan.request.fit = kLinkLayoutSize;
            break;
        case SizeChoice::OwnSize:
            break;
    }
    return plan;
}

std::string MakeOutcomeText(const NewTesselPlan& plan, const making::MakeResult& result) {
    const std::string skipped = SkippedList(result);
    switch (result.status) {
        case making::MakeStatus::Made:
            return "'" + plan.title + "' is made of " + std::to_string(result.packed) +
                   (result.packed == 1 ? " picture." : " pictures.") +
                   (skipped.empty()
                        ? std::string()
                        : "\n\nThese pictures could not be read and were left out:" + skipped);
        case making::MakeStatus::NoReadablePicture:
            return skipped.empty()
                       ? "The folder holds no pictures, so no Tessel was made."
                       : "No picture of the folder could be read, so no Tessel was made:" + skipped;
        case making::MakeStatus::Cancelled:
            return {};
        case making::MakeStatus::BadLink:
            return result.reason;
        case making::MakeStatus::WriteFailed:
            return plan.replaces
                       ? "'" + plan.title +
                             "' cannot be replaced: a running screen saver may be showing it. "
                             "End the show and try again.\n\n" +
                             result.reason
                       : "'" + plan.title + "' could not be written.\n\n" + result.reason;
    }
    return {};
}

ListWithNew WithNewTessel(const CheckList& shown, CheckList fresh, std::string_view title,
                          platform::TextRules& text) {
    ListWithNew result{std::move(fresh), 0};
    for (std::size_t i = 0; i < result.list.rows.size(); ++i) {
        CheckRow& row = result.list.rows[i];
        if (text.SameName(row.text, title)) {
            row.checked = true;
            result.row = static_cast<int>(i);
            continue;
        }
        row.checked = std::any_of(shown.rows.begin(), shown.rows.end(), [&](const CheckRow& was) {
            return was.checked && was.text == row.text;
        });
    }
    return result;
}

}  // namespace qv::settings
