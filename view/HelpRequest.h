#pragma once

// How a view or dialog asks for help on a topic ("parameters", "schedule", ...) above
// one of its windows. The application decides what showing help means and hands the
// request to the views it makes; an empty request leaves the "Help" buttons silent.

#include <QString>

#include <functional>

class QWidget;

using HelpRequest = std::function<void(QWidget* parent, const QString& topic)>;
