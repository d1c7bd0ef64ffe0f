# Compile and link settings of the WebAssembly build, read by the top-level
# project when web/build.sh configures it with emcmake. They apply to every
# target of that build; the core itself is built exactly as natively.
#
# -fwasm-exceptions: the interpreter reports running out of memory through
#   C++ exceptions; WebAssembly's own exceptions are about twice as fast as
#   emscripten's JavaScript-based ones.
# MODULARIZE, INVOKE_RUN=0: a factory that makes a fresh instance per run,
#   and main only when callMain is called (web/site/run.js).
# EXIT_RUNTIME: exit() flushes the C streams.
# NODEJS_CATCH_*=0: under node, an instance installs no process-wide handlers.
add_compile_options(-fwasm-exceptions)
add_link_options(
  -O3 -fwasm-exceptions
  -sMODULARIZE=1 -sEXPORT_NAME=createTovik
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=1
  -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=2GB
  -sENVIRONMENT=web,worker,node
  -sNODEJS_CATCH_EXIT=0 -sNODEJS_CATCH_REJECTION=0
  "-sEXPORTED_FUNCTIONS=[_main,_fflush]"
  "-sEXPORTED_RUNTIME_METHODS=[callMain,FS]")
