// The precompiled test headers are made with this file, which needs nothing else.
