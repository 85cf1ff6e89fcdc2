#pragma once

#include <QString>

// The user's configuration folder as the XDG base directory rules define it: $XDG_CONFIG_HOME
// when it is an absolute path, else ~/.config, where ~ is $HOME or, without an absolute $HOME,
// the home folder of the user's account.
QString ConfigHome();
