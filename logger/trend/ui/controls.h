#pragma once
// The pieces the trend windows (the main window and every scope) build their controls
// from, so that both name them and answer the mouse alike.
#include "logger/trend/navigation.h"
#include "logger/trend/ui/picturebox.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

namespace trend {

template <typename T>
T* Named(T* w, const QString& name) {
  w->setObjectName(name);
  return w;
}

inline QLineEdit* Box(const QString& name, int width, QWidget* parent, bool readOnly = false) {
  auto* e = Named(new QLineEdit(parent), name);
  e->setFixedWidth(width);
  e->setReadOnly(readOnly);
  return e;
}

// Enter in a box never presses these, and a click leaves the keyboard with the picture.
inline QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* b = Named(new QPushButton(caption, parent), name);
  b->setAutoDefault(false);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

inline std::optional<MouseButton> ToTrendButton(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
  }
}

// The overview strip `picFull`, `height` pixels high, between its step buttons `Back`
// ("<") and `Ahead` (">").
struct OverviewRow {
  QHBoxLayout* row;
  PictureBox* strip;
  QPushButton* back;
  QPushButton* ahead;
};
inline OverviewRow MakeOverviewRow(QWidget* parent, int height) {
  OverviewRow r{new QHBoxLayout, Named(new PictureBox(QColor(0x20, 0x28, 0x30), parent), QStringLiteral("picFull")),
                Button(QStringLiteral("Back"), QStringLiteral("<"), parent),
                Button(QStringLiteral("Ahead"), QStringLiteral(">"), parent)};
  r.strip->setFixedHeight(height);
  r.strip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  for (auto* b : {r.back, r.ahead}) b->setFixedSize(28, height);
  r.row->addWidget(r.back);
  r.row->addWidget(r.strip, 1);
  r.row->addWidget(r.ahead);
  return r;
}

}  // namespace trend
