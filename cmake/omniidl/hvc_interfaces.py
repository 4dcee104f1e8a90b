# omniidl back-end: appends the repository id of every interface the IDL file
# itself defines (not those of the files it includes) to the file named by
# -Wbout=PATH, one C++ string literal per line.
from omniidl import idlvisitor


class InterfaceLister(idlvisitor.AstVisitor):
    def __init__(self):
        self.ids = []

    def visitAST(self, node):
        for declaration in node.declarations():
            if declaration.mainFile():
                declaration.accept(self)

    def visitModule(self, node):
        for definition in node.definitions():
            definition.accept(self)

    def visitInterface(self, node):
        self.ids.append(node.repoId())


def run(tree, args):
    out = None
    for arg in args:
        if arg.startswith("out="):
            out = arg[len("out="):]
    if out is None:
        raise SystemExit("hvc_interfaces: -Wbout=PATH is required")
    lister = InterfaceLister()
    tree.accept(lister)
    with open(out, "a") as stream:
        for repo_id in lister.ids:
            stream.write('"%s",\n' % repo_id)
