#pragma once
// The one error code of the feedback viewer: thrown by any step, caught once by the main flow.

enum EErrorType
{
    ErrArgument = 0,
    ErrNoInput = 1,
    ErrNoData = 2,
    ErrWrite = 4,
    ErrRead = 5,
    // The report folder is held by another viewer; the line saying so is printed already.
    ErrInUse = 6,
};
