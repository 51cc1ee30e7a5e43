#pragma once
// Resource ids of the hub.
