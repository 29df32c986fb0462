#pragma once

#include "platform/accessibility.h"
#include "platform/hot_key_service.h"
#include "platform/input_synthesiser.h"
#include "platform/key_source.h"
#include "platform/keys.h"
#include "platform/login_items.h"
#include "platform/password_focus.h"
#include "platform/pasteboard.h"
#include "platform/pasteboard_types.h"
#include "platform/relauncher.h"
#include "platform/sound_player.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

namespace ql {

// One instance of every platform service, as a backend provides them. The
// backend object owns the services and outlives every user of this struct;
// the pointers are never null.
struct Platform {
  KeySource* keySource = nullptr;
  InputSynthesiser* input = nullptr;
  Pasteboard* pasteboard = nullptr;
  Workspace* workspace = nullptr;
  Accessibility* accessibility = nullptr;
  WindowList* windowList = nullptr;
  HotKeyService* hotKeys = nullptr;
  SoundPlayer* sounds = nullptr;
  LoginItems* loginItems = nullptr;
  Relauncher* relauncher = nullptr;
  PasswordFocus* passwordFocus = nullptr;
};

}  // namespace ql
