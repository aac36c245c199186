#pragma once

#include "common/help_topic.h"
#include "common/word_file.h"

#include <QList>

class QWidget;

namespace platform {
class Platform;
}

namespace editor {

// What reverse generation needs from the editor window.
class ReverseHost {
public:
    virtual ~ReverseHost() = default;
    virtual int entryCount() const = 0;
    virtual QList<int> selectedPositions() const = 0;  // any order
    virtual common::Entry entryAt(int position) const = 0;
    // Appends the entries and leaves exactly them selected, as one step that can be undone,
    // without touching the current position or the form.
    virtual void appendSelected(const QList<common::Entry>& entries) = 0;
};

inline constexpr int kReverseHelpTopic = common::topicNumber(common::HelpTopic::Remove);

// MakeReverseQuestions: after the confirmation, appends the reverse of every selected entry
// and leaves exactly the new entries selected. Refuses, changing nothing, when the document
// would pass the largest number of entries.
void makeReverseQuestions(QWidget* window, platform::Platform& platform, ReverseHost& host);

struct EditMenuState {
    bool scan = false;
    bool scanNext = false;
    bool reverse = false;

    friend bool operator==(const EditMenuState&, const EditMenuState&) = default;
};

// The Edit menu's items as it opens.
EditMenuState editMenuState(int entryCount, bool anySelected);

}  // namespace editor
