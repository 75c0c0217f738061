#!/usr/bin/env python3
"""Reads a DXF file with ezdxf (a reader Kalvor did not write) and prints what
the export tests check, as JSON: the version, the layers, and every entity of
the model space with its layer and geometry."""
import json
import sys

import ezdxf


def main(path):
    # The strict reader: a file it takes is sound DXF. Then what the auditor
    # finds wrong with it.
    doc = ezdxf.readfile(path)
    out = {"version": doc.dxfversion, "layers": {}, "entities": [],
           "audit_errors": [str(e.message) for e in doc.audit().errors]}
    for layer in doc.layers:
        out["layers"][layer.dxf.name] = {"color": layer.dxf.color, "linetype": layer.dxf.linetype}
    for e in doc.modelspace():
        item = {"type": e.dxftype(), "layer": e.dxf.layer}
        if e.dxftype() == "LINE":
            item["points"] = [list(e.dxf.start)[:2], list(e.dxf.end)[:2]]
        elif e.dxftype() == "POLYLINE":
            item["closed"] = e.is_closed
            item["points"] = [list(v.dxf.location)[:2] for v in e.vertices]
            item["bulges"] = [v.dxf.bulge for v in e.vertices]
        elif e.dxftype() == "POINT":
            item["points"] = [list(e.dxf.location)[:2]]
        elif e.dxftype() == "TEXT":
            # "\U+xxxx", the notation CAD programs use beyond the code page.
            item["text"] = ezdxf.decode_dxf_unicode(e.dxf.text)
            item["points"] = [list(e.dxf.insert)[:2]]
            item["height"] = e.dxf.height
        out["entities"].append(item)
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
