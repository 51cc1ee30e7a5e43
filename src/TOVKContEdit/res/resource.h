#pragma once
// Resource ids of the content editor, shared by both resource sets.
