// The settings dialog's steps, once for every window layer.
#include "dialog_controller.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "config_file.h"
#include "configuration_store.h"
#include "dialog_template.h"
#include "file_messages.h"
#include "settings.h"
#include "settings_table.h"

namespace kov {

void ExitOutOfMemory() {
    std::fputs(Tr("kovconfig: out of memory; the settings were not saved"), stderr);
    std::fputs("\n", stderr);
    std::_Exit(EXIT_FAILURE);
}

namespace {

// Nothing may be thrown through a window layer's event loop; the store throws only when memory
// runs out.
template <typename Step>
auto Guarded(Step step) -> decltype(step()) {
    try {
        return step();
    } catch (const ConfigurationException&) {
        ExitOutOfMemory();
    } catch (const std::bad_alloc&) {
        ExitOutOfMemory();
    }
}

}  // namespace

struct DialogController::State {
    explicit State(detail::FileSystem& fileSystem) : file(fileSystem) {}
    // What the words about the file are about, now: a save may have moved it to its VirtualStore copy.
    Subject About() const { return {file.DisplayName(), file.System()}; }
    ConfigurationStore store;
    ConfigFile file;      // kov.ini in the folder that was current when the dialog opened
    ReadReport dropped;   // what reading could not keep
};

DialogController::DialogController(DialogWindow& window) : DialogController(window, detail::PlatformFileSystem()) {}

DialogController::DialogController(DialogWindow& window, detail::FileSystem& fileSystem)
    : window_(window), state_(Guarded([&] { return std::make_unique<State>(fileSystem); })) {}

DialogController::~DialogController() = default;

bool DialogController::Open() {
    return Guarded([&] {
        // The lists are filled before the settings select positions in them.
        for (const ListItems& list : kListItems)
            for (const char* item : list.items) window_.AddListItem(list.control, Tr(item));
        // What a crash or a power cut left of the last save is finished before anything is read.
        if (const RecoveryReport recovered = state_->file.Recover(); !recovered.empty())
            window_.ShowMessage(RecoveryMessage(state_->About(), recovered));
        const OpenResult opened = state_->file.Read(state_->store);
        if (opened.outcome == OpenOutcome::NoFolder) {
            window_.ShowMessage(NoFolderMessage(state_->About(), opened));
            return false;
        }
        if (opened.outcome == OpenOutcome::Unreadable) {
            // The defaults are offered only where OK could save them.
            if (opened.overwritable != Overwritable::Yes) {
                window_.ShowMessage(UnreadableMessage(state_->About(), opened));
                return false;
            }
            if (!window_.Ask({UnreadableQuestion(state_->About(), opened), Tr(kQuitButton), Tr(kUseDefaultsButton)}))
                return false;
        }
        state_->dropped = opened.dropped;
        ApplyOpeningRules(window_, LoadSettings(state_->store, window_));
        FollowCheckedRadio();
        return true;
    });
}

void DialogController::Change(int32_t control) {
    Guarded([&] { OnUserChange(state_->store, window_, control); });
    FollowCheckedRadio();
}

bool DialogController::Ok() {
    return Guarded([&] {
        ConfigFile& file = state_->file;
        if (file.ChangedSinceRead() && !window_.Ask({ChangedQuestion(state_->About()), Tr(kCancelButton), Tr(kReplaceButton)}))
            return false;
        if (state_->dropped.droppedLines > 0 &&
            !window_.Ask({DroppedLinesQuestion(state_->About(), state_->dropped), Tr(kCancelButton), Tr(kSaveButton)}))
            return false;
        const SaveResult result = file.Save(state_->store.WriteToString(), [&] {
            return window_.Ask({UnprotectedWriteQuestion(state_->About()), Tr(kCancelButton), Tr(kSaveButton)});
        });
        // Once the new text is in the file, the lines it could not keep are gone from it.
        if (result.holds == FileHolds::NewText) state_->dropped = {};
        if (result.saved() || result.declined()) return result.saved();
        window_.ShowMessage(SaveFailedMessage(state_->About(), result));
        return false;
    });
}

const std::string& DialogController::FileName() const { return state_->file.DisplayName(); }

void DialogController::FollowCheckedRadio() {
    // The checked rendering choice is a tab stop, so that the keyboard reaches it even when the
    // check boxes of its group are disabled; the other one is reached with the arrow keys.
    for (const ControlTemplate& control : kConfigDialogTemplate.controls)
        if (control.type == ControlType::RadioButton) window_.SetTabStop(control.id, window_.GetCheck(control.id) != 0);
}

}  // namespace kov
