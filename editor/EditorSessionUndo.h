#pragma once

// The form's edit history: each step is the whole form as a value, so undoing an edit
// is showing an earlier form again, whatever control made the edit. A step remembers
// the field that made it, so the next keystroke in the same field extends it instead
// of adding one: a run of typing is one step.

#include <cstddef>
#include <string>
#include <vector>

#include "editor/ProfileLibrary.h"
#include "profile/ProfileFile.h"

namespace editor {

// The form as a value: what a store pass puts into a copy of the current profile,
// with the selections that say where it is shown.
struct FormState {
    profile::CProfileFile profile;
    std::string device;
    int outputType = kVideoAndAudio;
    std::string fileName;   // the profile selector's item
};

// A notification from no particular field (a selector, a list, a check box): never
// merged with the step before.
inline constexpr int kNoField = -1;

class CEditHistory {
public:
    // Older steps are dropped beyond this many.
    static constexpr std::size_t kMaxSteps = 200;

    // The history becomes the one step given; clean says whether it is what the file holds.
    void Reset(FormState form, std::string text, bool clean);
    void Clear();
    bool IsEmpty() const { return steps.empty(); }

    // The form after an edit made in the field. Returns false when it is the form the
    // current step shows already (nothing to record). Steps that were undone go.
    bool Record(FormState form, std::string text, int field);

    bool CanUndo() const { return index > 0; }
    bool CanRedo() const { return index + 1 < steps.size(); }
    // Moves one step back or forward; the form to show, or null when there is none.
    const FormState* Undo();
    const FormState* Redo();

    // The current step is what the file now holds; with form, it is replaced by that
    // form first (a save may have given the profile its new path).
    void MarkClean();
    void MarkClean(FormState form, std::string text);
    // No step is what the file holds (the profile has never been written, or the file
    // was rewritten by someone else).
    void ForgetClean() { clean = kNone; }
    bool IsClean() const { return clean == static_cast<std::ptrdiff_t>(index) && !steps.empty(); }

private:
    struct Step {
        FormState form;
        std::string text;   // the profile as the file would hold it: what makes two steps equal
        int field = kNoField;
    };
    static constexpr std::ptrdiff_t kNone = -1;

    std::vector<Step> steps;
    std::size_t index = 0;
    std::ptrdiff_t clean = kNone;
    // Whether the current step is a run of typing that the next keystroke may extend.
    bool runOpen = false;
};

} // namespace editor
