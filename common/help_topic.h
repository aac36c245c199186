// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

// The sections of the help file that the programs open by number.
namespace common {

enum class HelpTopic : int {
    Contents = 0,
    Remove = 12,  // remove and reverse
    Store = 13,   // add, insert, change
    Box = 15,     // the question, answers and information boxes
    Undo = 16,
    Exchange = 17,   // import, export, print
    List = 35,       // the list of questions
    Converter = 60,  // opening a file of the old version
    View = 70,       // zoom and the other view commands
};

// Every topic but the contents, for checking the help file.
inline constexpr std::array kHelpSections = {
    HelpTopic::Remove,   HelpTopic::Store, HelpTopic::Box,       HelpTopic::Undo,
    HelpTopic::Exchange, HelpTopic::List,  HelpTopic::Converter, HelpTopic::View,
};

constexpr int topicNumber(HelpTopic topic) {
    return static_cast<int>(topic);
}

}  // namespace common
