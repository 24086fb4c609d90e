#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>

class QKeyEvent;
class QWidget;

// What a key event tells of Caps Lock, given what was known before: a
// letter typed upper case without Shift (or lower case with it) says on,
// the Caps Lock key itself turns a known state over, and the X server's
// lock bit, where the platform passes it, says it outright.
std::optional<bool> CapsLockAfter(const QKeyEvent& event, std::optional<bool> before);

// Hands each key press of the event to `press`, until the window closes
// (a press may end the drill).
void DeliverKeyPresses(const QWidget* window, const QKeyEvent& event, const std::function<void(char)>& press);
