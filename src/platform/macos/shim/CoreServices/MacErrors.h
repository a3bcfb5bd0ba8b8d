#pragma once
// MacErrors: the classic status codes.

enum {
  paramErr = -50,  // an argument the call cannot take
};
