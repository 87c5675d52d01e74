#pragma once
// What the backend's start and end need of discovery.

bool CreateDiscoveryEvents();
void CloseDiscoveryEvents();
// Stops a running discovery and waits for its final callback; BT_OK, or why not.
int CancelDiscovery();
