// FakePrompt is defined in its header; compiled here once so that the header stands on its own.
#include "support/fake_prompt.h"
