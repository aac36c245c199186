// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/entry_form.h"

#include "common/ansi_text.h"
#include "common/entry_text.h"
#include "editor/logic/answer_list.h"
#include "editor/logic/editor_texts.h"

#include <QStringList>

namespace editor {

namespace {

bool hasLineBreak(QStringView text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

}  // namespace

EntryForm formFromEntry(const common::Entry& entry) {
    EntryForm form;
    form.question = entry.question;
    const QStringList answers = common::splitRights(entry.rights);
    for (int i = 0; i < kAnswerBoxes && i < answers.size(); ++i) {
        form.rights[i] = answers.at(i);
    }
    if (answers.size() > kAnswerBoxes) {
        form.extraRights = common::joinRights(answers.mid(kAnswerBoxes));
    }
    // The line-break mark and CR LF are both two characters: the cut falls in the stored text,
    // so that the rest is neither converted nor copied twice.
    const QString& stored = entry.information;
    qsizetype cut = stored.size();
    if (cut > kShownInformation) {
        cut = kShownInformation;
        const QChar last = stored.at(cut - 1);
        if (last.isHighSurrogate() || (last == u'\\' && stored.at(cut) == u'n')) {
            --cut;
        }
        form.informationRest = stored.sliced(cut);
    }
    form.information = common::informationToDisplay(QStringView(stored).first(cut));
    return form;
}

namespace {

int hiddenCount(const EntryForm& form) {
    return form.extraRights.isEmpty() ? 0
                                      : int(form.extraRights.count(common::kAnswerSeparator)) + 1;
}

}  // namespace

int rightCount(const EntryForm& form) {
    int count = hiddenCount(form);
    for (const QString& box : form.rights) {
        if (!box.isEmpty()) {
            ++count;
        }
    }
    return count;
}

QString rightCountText(const EntryForm& form) {
    const QString count = QString::number(rightCount(form));
    const int hidden = hiddenCount(form);
    return hidden == 0 ? count : QStringLiteral("%1 (+%2)").arg(count).arg(hidden);
}

QString formAnswerString(const EntryForm& form) {
    return answersOfForm({form.rights, form.extraRights}).join(common::kAnswerSeparator);
}

QString formInformationString(QStringView shown) {
    return common::informationToStore(shown);
}

common::Entry entryFromForm(const EntryForm& form) {
    return {common::storedForm(form.question), common::storedForm(formAnswerString(form)),
            common::storedForm(formInformationString(form.information) + form.informationRest)};
}

std::optional<Refusal> checkEntry(const EntryForm& form, const QString& commandWord) {
    const QString title = commandTitle(commandWord);
    if (form.question.isEmpty()) {
        return Refusal{kNeedQuestion, title};
    }
    if (rightCount(form) == 0) {
        return Refusal{kNeedRight, title};
    }
    const common::Entry entry = entryFromForm(form);
    if (hasLineBreak(entry.question) || hasLineBreak(entry.rights)) {
        return Refusal{kNoLineBreak, title};
    }
    if (!common::readsBack(entry)) {
        return Refusal{kSeparatorTyped, title};
    }
    const QString lost =
        common::unrepresentableChars(entry.question + entry.rights + entry.information);
    if (!lost.isEmpty()) {
        return Refusal{kCharsNotStored + kCrLf + common::quoteEach(lost), title};
    }
    return std::nullopt;
}

}  // namespace editor
