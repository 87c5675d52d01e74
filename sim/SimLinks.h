#pragma once
// What the backend's end needs of the serial and dial-up links.

void CloseAllLinks();  // under simLock
