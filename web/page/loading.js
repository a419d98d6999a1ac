// First of all: the WebAssembly comes with the page, so nothing is fetched.
// It compiles in the background while the page sets itself up; `hooks`, what
// the module asks of the page (see glue.cpp), is filled in by main.js.
performance.mark('orvane-script');

export const hooks = {};
export const loading = (() => {
  const text = atob(ORVANE_WASM);
  const wasmBinary = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) wasmBinary[i] = text.charCodeAt(i);
  return OrvaneModule({ page: hooks, wasmBinary });
})();
