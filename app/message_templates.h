// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"

#include <QString>
#include <QStringList>

namespace glintcaster {

/// Templates for quick messages: ordinary ".glc" files in "MessageData/Templates". Pouring
/// a title and a body into one keeps its options, icon and background, and gives the whole
/// new title the format (colours) of the template's first title character and the whole
/// new body that of its first body character.
namespace MessageTemplates {

/// The template used when none is named: "notice".
QString defaultName();

/// "MessageData/Templates" of the home `home` (nothing is created).
QString folderOf(const QString &home);
/// The application home's templates folder. When it does not exist yet it is created with
/// the shipped templates ("urgent", "notice", "banner"); a user who deletes one later does
/// not get it back.
QString folder();

/// Writes the shipped templates missing from `dir` (created if needed). False when one
/// could not be written.
bool installShipped(const QString &dir, QString *error = nullptr);
/// The shipped template `name` as a message (empty title and body); false for an unknown name.
bool shipped(const QString &name, CurrentMessage *out);
/// Names of the shipped templates.
QStringList shippedNames();

/// Base names of the ".glc" files in `dir`, sorted.
QStringList names(const QString &dir);
/// The file of template `name` in `dir`: "NAME.glc", or `name` itself when it is a path
/// to a ".glc" file.
QString pathOf(const QString &dir, const QString &name);

/// Pours `title` and `body` (line breaks as "\n", "\r\n" or "\r") into the template file
/// `path`. False with `error` when the template cannot be read or the body is empty.
bool pour(const QString &path, const QString &title, const QString &body, CurrentMessage *out,
          QString *error = nullptr);
/// The same with a template already read.
void pourInto(const CurrentMessage &templ, const QString &title, const QString &body,
              CurrentMessage *out);

} // namespace MessageTemplates
} // namespace glintcaster
