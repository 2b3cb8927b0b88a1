#pragma once
#include "UserState.h"

// The class a name or atom stands for; the system's own classes are registered on first use.
std::shared_ptr<WindowClass> FindWindowClass(LPCSTR lpClassName);
