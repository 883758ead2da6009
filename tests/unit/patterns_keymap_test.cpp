#include "core/Module1.h"
#include "toolbar/KeyMap.h"
#include "toolbar/Patterns.h"

#include <gtest/gtest.h>

using keymap::Action;
using keymap::Command;

TEST(Patterns, EachPatternSetsItsPenValuesAndPicture) {
    struct Row { int number, shapeKind, image, penMode, drawColor, fillStyle; };
    // lineColor 12 (red), fillColor 14 (yellow)
    const Row rows[] = {
        {1, 3, 1, 13, 12, 1}, {2, 2, 2, 13, 12, 1}, {3, 4, 5, 13, 12, 1}, {4, 4, 6, 9, 14, 0},
        {5, 5, 3, 13, 12, 1}, {6, 5, 4, 9, 14, 0},  {7, 7, 7, 13, 12, 0}, {8, 1, 12, 13, 12, 0},
    };
    for (const Row& r : rows) {
        Module1 m;
        m.lineColor = 12;
        m.fillColor = 14;
        EXPECT_EQ(patterns::select(m, r.number), r.image) << "pattern " << r.number;
        EXPECT_EQ(m.drawPattern, r.number);
        EXPECT_EQ(m.shapeKind, r.shapeKind) << "pattern " << r.number;
        EXPECT_EQ(m.penMode, r.penMode) << "pattern " << r.number;
        EXPECT_EQ(m.drawColor, r.drawColor) << "pattern " << r.number;
        EXPECT_EQ(m.fillStyle, r.fillStyle) << "pattern " << r.number;
    }
    // Not a pattern: nothing changes.
    Module1 m;
    m.lineColor = 3;
    patterns::select(m, 2);
    for (int bad : {0, 9, -1, 255}) {
        EXPECT_EQ(patterns::select(m, bad), 0);
        EXPECT_EQ(m.drawPattern, 2);
        EXPECT_EQ(m.shapeKind, 2);
    }
    // The colour is copied at selection, not followed afterwards.
    m.lineColor = 9;
    EXPECT_EQ(m.drawColor, 3);
}

TEST(Patterns, SteppingWrapsFromAnyValue) {
    for (int p = 1; p <= 7; ++p) EXPECT_EQ(patterns::next(int16_t(p)), p + 1);
    for (int p = 2; p <= 8; ++p) EXPECT_EQ(patterns::previous(int16_t(p)), p - 1);
    EXPECT_EQ(patterns::next(8), 1);
    EXPECT_EQ(patterns::previous(1), 8);
    EXPECT_EQ(patterns::next(0), 1);
    EXPECT_EQ(patterns::previous(0), 8);
    for (int16_t odd : {int16_t(-5), int16_t(9), int16_t(200), int16_t(32767), int16_t(-32768)}) {
        EXPECT_EQ(patterns::next(odd), 1) << odd;
        EXPECT_EQ(patterns::previous(odd), 8) << odd;
    }
}

TEST(KeyMap, LettersAndFunctionKeysSelectPatterns) {
    Module1 m;
    m.drawingOff = true;
    auto sel = [](int p) { return Action{Command::SelectPattern, p}; };
    EXPECT_EQ(keymap::decide('A', 0, m), sel(1));
    EXPECT_EQ(keymap::decide('L', 0, m), sel(2));
    EXPECT_EQ(keymap::decide('E', 0, m), sel(7));
    EXPECT_EQ(keymap::decide('F', 0, m), sel(8));
    for (int f = 0; f < 7; ++f) EXPECT_EQ(keymap::decide(keymap::vk::F2 + f, 0, m), sel(f + 1));
    EXPECT_EQ(keymap::decide(keymap::vk::F1, 0, m), Action{});  // F1 is only ever the hot key
    EXPECT_EQ(keymap::decide(120, 0, m), Action{});             // F9
    EXPECT_EQ(keymap::decide('S', 0, m), Action{Command::Save});
    EXPECT_EQ(keymap::decide('Q', 0, m), Action{Command::ShowMyWindow});
    EXPECT_EQ(keymap::decide(keymap::vk::Left, 0, m), Action{Command::PreviousPattern});
    EXPECT_EQ(keymap::decide(keymap::vk::Right, 0, m), Action{Command::NextPattern});
    for (int unknown : {0, int('B'), int('Z'), int('1'), 13, 27, 46, 65535}) EXPECT_EQ(keymap::decide(unknown, 0, m), Action{}) << unknown;
}

TEST(KeyMap, CAndRToggleBetweenOutlineAndFilled) {
    Module1 m;
    for (int from : {0, 1, 2, 4, 5, 6, 7, 8}) {
        m.drawPattern = int16_t(from);
        EXPECT_EQ(keymap::decide('C', 0, m).pattern, 3) << from;
    }
    m.drawPattern = 3;
    EXPECT_EQ(keymap::decide('C', 0, m).pattern, 4);
    for (int from : {0, 1, 2, 3, 4, 6, 7, 8}) {
        m.drawPattern = int16_t(from);
        EXPECT_EQ(keymap::decide('R', 0, m).pattern, 5) << from;
    }
    m.drawPattern = 5;
    EXPECT_EQ(keymap::decide('R', 0, m).pattern, 6);
}

TEST(KeyMap, ConditionsOfSpacePanelsAndModifiers) {
    Module1 m;
    m.drawingOff = true;
    EXPECT_EQ(keymap::decide(' ', 0, m), Action{Command::ArmCountdown});
    m.autoHide = 1;
    EXPECT_EQ(keymap::decide(' ', 0, m), Action{});
    m.autoHide = 0;
    m.drawingOff = false;
    EXPECT_EQ(keymap::decide(' ', 0, m), Action{});

    m.myWindow = 0;
    EXPECT_EQ(keymap::decide(keymap::vk::Up, 0, m), Action{Command::OpenSettings});
    EXPECT_EQ(keymap::decide(keymap::vk::Down, 0, m), Action{Command::OpenSettings});
    EXPECT_EQ(keymap::decide('H', 0, m), Action{Command::OpenHelp});
    for (int16_t open : {int16_t(1), int16_t(2)}) {
        m.myWindow = open;
        EXPECT_EQ(keymap::decide(keymap::vk::Up, 0, m), Action{});
        EXPECT_EQ(keymap::decide(keymap::vk::Down, 0, m), Action{});
        EXPECT_EQ(keymap::decide('H', 0, m), Action{});
        EXPECT_EQ(keymap::decide('Q', 0, m), Action{Command::ShowMyWindow});
    }

    // Shift, Ctrl, Alt, alone or together, block every command.
    m.myWindow = 0;
    m.drawingOff = true;
    for (int shift = 1; shift <= 7; ++shift)
        for (int key : {int(' '), int('A'), int('S'), int('F'), int('H'), keymap::vk::Left, keymap::vk::Up, keymap::vk::F2})
            EXPECT_EQ(keymap::decide(key, shift, m), Action{}) << key << " with " << shift;
}

TEST(KeyMap, QtKeysBecomeVirtualKeys) {
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Space), 32);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_A), 65);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Z), 90);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Left), 37);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Up), 38);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Right), 39);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Down), 40);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_F1), 112);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_F2), 113);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_F8), 119);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Escape), 27);
    EXPECT_EQ(keymap::virtualKeyFromQt(Qt::Key_Eacute), 0);
    EXPECT_EQ(keymap::shiftMaskFromQt(Qt::NoModifier), 0);
    EXPECT_EQ(keymap::shiftMaskFromQt(Qt::ShiftModifier), 1);
    EXPECT_EQ(keymap::shiftMaskFromQt(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(keymap::shiftMaskFromQt(Qt::KeypadModifier), 0);
}
