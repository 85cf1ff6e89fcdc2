#pragma once

#include <QStringList>

// Qt's own texts (context menus, standard buttons, file dialogs) in the user's
// language, from the catalogues Qt ships where they are installed. Called once,
// before any window is made.
namespace QtTranslation {

// The catalogues by name ("qtbase", "qtwebengine"); those missing for the locale are left out.
void Install(const QStringList& catalogues);

} // namespace QtTranslation
