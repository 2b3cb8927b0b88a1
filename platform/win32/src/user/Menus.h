#pragma once
// Forgets every menu (the test driver's reset of the layer).
void ResetMenus();
