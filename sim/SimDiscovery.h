#pragma once
// What the backend's start and end need of discovery.

bool OpenDiscovery();   // at module load
void CloseDiscovery();  // at module unload
// Stops a running discovery and waits for its final callback; BT_OK, or why not.
int CancelDiscovery();
