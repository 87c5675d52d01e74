// The eighteen exported functions, in entry-point slot order.
// Every list of them in the project (slots, binding, stubs, test backends,
// tests) expands this one table; only Vornel.def repeats the names, and a
// test holds it against this table. No include guard: it is meant to be
// included once per expansion, with VORNEL_FUNCTION defined by the includer.
VORNEL_FUNCTION(BT_Init)
VORNEL_FUNCTION(BT_Pair)
VORNEL_FUNCTION(BT_UnPair)
VORNEL_FUNCTION(BT_QueryRadio)
VORNEL_FUNCTION(BT_ListDevices)
VORNEL_FUNCTION(BT_ListDevicesAsync)
VORNEL_FUNCTION(BT_CancelListDevicesAsync)
VORNEL_FUNCTION(BT_QueryDevice)
VORNEL_FUNCTION(BT_ListServices)
VORNEL_FUNCTION(BT_QueryService)
VORNEL_FUNCTION(BT_SPP_Connect)
VORNEL_FUNCTION(BT_SPP_SendData)
VORNEL_FUNCTION(BT_SPP_RecvData)
VORNEL_FUNCTION(BT_SPP_Disconnect)
VORNEL_FUNCTION(BT_DUN_Dialup)
VORNEL_FUNCTION(BT_DUN_Hangup)
VORNEL_FUNCTION(BT_OPP_SendFile)
VORNEL_FUNCTION(BT_Exit)
