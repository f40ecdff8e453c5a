#include "crt_rand.h"

int CrtRand::Next()
{
    state_ = state_ * 214013u + 2531011u;  // wraps modulo 2^32 as unsigned arithmetic does
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}
