#!/usr/bin/env python3
"""Prints the menu's item rectangles for a window size, computed from
mainmenu.ini the way the game lays the menu out, or an ImageMagick command
that composes the picture the menu should show.

  menu_layout.py DATA_DIR WIDTH HEIGHT rects [ITEM]
  menu_layout.py DATA_DIR WIDTH HEIGHT compose OUT.png [HOVER_ITEM] [DX]
"""
import subprocess
import sys


def read_ini(path):
    values = {}
    for line in open(path, encoding="utf-8"):
        line = line.split("#", 1)[0]
        if "EndConfigFile" in line:
            break
        if "=" in line:
            key, value = line.split("=", 1)
            values[key.strip()] = value.strip()
    return values


def rects(ini, width, height):
    sx = width / int(ini["definitionresx"])
    sy = height / int(ini["definitionresy"])
    result = {}
    for item in range(1, 7):
        if f"item{item}img" not in ini:
            continue  # an item without a picture is not on the menu
        half = (sx * int(ini[f"item{item}imgx"]) / 2.0) * float(ini[f"item{item}x"])
        centre = width // 2
        top = height * float(ini[f"item{item}y"])
        bottom = top + int(ini[f"item{item}imgy"]) * sy
        result[item] = (int(centre - half), int(top), int(centre + half), int(bottom))
    return result


def main():
    data, width, height, mode = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    ini = read_ini(f"{data}/config/mainmenu.ini")
    boxes = rects(ini, width, height)
    if mode == "rects":
        wanted = [int(sys.argv[5])] if len(sys.argv) > 5 else list(boxes)
        for item in wanted:
            x1, y1, x2, y2 = boxes[item]
            print(item, x1, y1, x2, y2)
        return
    out = sys.argv[5]
    hover = int(sys.argv[6]) if len(sys.argv) > 6 else 0
    shift = int(sys.argv[7]) if len(sys.argv) > 7 else 0
    textures = f"{data}/textures"
    command = ["convert", f"{textures}/{ini['backimg']}", "-resize", f"{width}x{height}!"]
    for item in (i for i in (1, 2, 3, 5, 4, 6) if i in boxes):  # the menu's drawing order
        x1, y1, x2, y2 = boxes[item]
        picture = ini[f"item{item}imgover" if item == hover else f"item{item}img"]
        command += ["(", f"{textures}/{picture}", "-resize", f"{x2 - x1}x{y2 - y1}!", ")",
                    "-geometry", f"+{x1 + shift}+{y1}", "-composite"]
    command += ["-alpha", "off", out]
    subprocess.run(command, check=True)


if __name__ == "__main__":
    main()
