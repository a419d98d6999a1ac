// First of all: the WebAssembly comes with the page, so nothing is fetched
// (in served/, beside it, in a file of its own). It compiles in the
// background while the page sets itself up; `hooks`, what the module asks of
// the page (see glue.cpp), is filled in by main.js.
performance.mark('orvane-script');

export const hooks = {};
export const loading = (() => {
  // Served beside the page (make_page.mjs's served/), the module comes from
  // its own file, compiled as it arrives.
  if (ORVANE_WASM_FILE) return OrvaneModule({ page: hooks, locateFile: () => ORVANE_WASM_FILE });
  // One character a byte: ORVANE_WASM_KEY says which (make_page.mjs).
  const byteOf = new Uint8Array(0x200);
  for (let b = 0; b < 256; ++b) byteOf[ORVANE_WASM_KEY.charCodeAt(b)] = b;
  const text = ORVANE_WASM;
  const wasmBinary = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) wasmBinary[i] = byteOf[text.charCodeAt(i)];
  return OrvaneModule({ page: hooks, wasmBinary });
})();
