// The source the suites' precompiled GoogleTest header is made with; it holds nothing.
