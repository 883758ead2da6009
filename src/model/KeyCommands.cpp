#include "model/KeyCommands.h"

KeyCommand commandFor(QKeyCombination key, const KeyContext& context) {
    if (key.keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return {};
    auto select = [](Pattern p) { return KeyCommand{Command::SelectPattern, p}; };
    auto unlessPanelOpen = [&context](Command c) { return KeyCommand{context.panelOpen ? Command::None : c}; };
    const Qt::Key k = key.key();
    switch (k) {
    case Qt::Key_Space: return {context.countdownAllowed ? Command::StartCountdown : Command::None};
    case Qt::Key_Left: return {Command::PreviousPattern};
    case Qt::Key_Right: return {Command::NextPattern};
    case Qt::Key_Up:
    case Qt::Key_Down: return unlessPanelOpen(Command::OpenSettings);
    case Qt::Key_H: return unlessPanelOpen(Command::OpenHelp);
    case Qt::Key_Q: return {Command::ShowOpenPanel};
    case Qt::Key_S: return {Command::Save};
    case Qt::Key_A: return select(Pattern::Arrow);
    case Qt::Key_L: return select(Pattern::Line);
    case Qt::Key_C: return select(context.current == Pattern::Circle ? Pattern::FilledCircle : Pattern::Circle);
    case Qt::Key_R:
        return select(context.current == Pattern::Rectangle ? Pattern::FilledRectangle : Pattern::Rectangle);
    case Qt::Key_E: return select(Pattern::Loupe);
    case Qt::Key_F: return select(Pattern::FreeDraw);
    default:
        // F2..F8 select the patterns 1..7 in order.
        if (k >= Qt::Key_F2 && k <= Qt::Key_F8) return select(Pattern(k - Qt::Key_F2 + 1));
        return {};
    }
}
