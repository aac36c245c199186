// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/word_file.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The entry form's side of an entry: what the boxes show and what the entry commands store.
namespace editor {

inline constexpr int kAnswerBoxes = 4;

// The information box shows no more than this: a text box laying out megabytes (a damaged or
// generated file) stalls the window.
inline constexpr qsizetype kShownInformation = 32'767;

// The form's contents as typed. The information holds real line breaks (CR LF, LF or CR).
struct EntryForm {
    QString question;
    std::array<QString, kAnswerBoxes> rights;
    QString extraRights;  // the fifth and later answers, joined by "|@2|"; empty when none
    QString information;
    // What follows the shown information, as stored (line breaks as the mark), kept and stored
    // unchanged; empty when none.
    QString informationRest;

    friend bool operator==(const EntryForm&, const EntryForm&) = default;
};

// Loading a stored entry into the form; the information gets CR LF line breaks, and what goes
// beyond kShownInformation (never splitting a line break or a character) its rest.
EntryForm formFromEntry(const common::Entry& entry);

// The answers the form holds: the boxes that are not empty plus every piece of extraRights.
int rightCount(const EntryForm& form);

// The count label: the number of answers, and how many of them the boxes do not show,
// "6 (+2)".
QString rightCountText(const EntryForm& form);

// The boxes that are not empty and extraRights, joined by "|@2|": gaps close up.
QString formAnswerString(const EntryForm& form);

// Every line break (CR LF, and a lone CR or LF) becomes the two-character mark.
QString formInformationString(QStringView shown);

// The entry as the word file will hold it: each field in its stored form, so that the list,
// the form and a drill show what the file reads back.
common::Entry entryFromForm(const EntryForm& form);

// Why the form must not be stored.
struct Refusal {
    QString text;
    QString title;

    friend bool operator==(const Refusal&, const Refusal&) = default;
};

// The entry check, run before a command (word: "追加", "挿入" or "更新") stores the form.
std::optional<Refusal> checkEntry(const EntryForm& form, const QString& commandWord);

}  // namespace editor
