<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>morvex::AboutViewController</name>
    <message>
        <source>关于 Morvex</source>
        <translation>About Morvex</translation>
    </message>
    <message>
        <source>由 JSON 示例生成 Swift / Objective-C 模型代码</source>
        <translation>Swift / Objective-C model code from a JSON sample</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>Check for Updates</translation>
    </message>
    <message>
        <source>启动时自动检查更新</source>
        <translation>Check for updates at start</translation>
    </message>
    <message>
        <source>论坛</source>
        <translation>Forum</translation>
    </message>
    <message>
        <source>主页</source>
        <translation>Website</translation>
    </message>
</context>
<context>
    <name>morvex::AlertViewController</name>
    <message>
        <source>无法打开网页</source>
        <translation>The web page could not be opened</translation>
    </message>
    <message>
        <source>请在浏览器中打开 %1</source>
        <translation>Please open %1 in a browser.</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>morvex::AppDelegate</name>
    <message>
        <source>关于 Morvex</source>
        <translation>About Morvex</translation>
    </message>
    <message>
        <source>Morvex 主页</source>
        <translation>Morvex Website</translation>
    </message>
    <message>
        <source>Morvex 论坛</source>
        <translation>Morvex Forum</translation>
    </message>
    <message>
        <source>退出 Morvex</source>
        <translation>Quit Morvex</translation>
    </message>
    <message>
        <source>显示 Morvex</source>
        <translation>Show Morvex</translation>
    </message>
</context>
<context>
    <name>morvex::RootViewController</name>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source> 等 %n 个文件</source>
        <translation>
            <numerusform> and %n more file</numerusform>
            <numerusform> and %n more files</numerusform>
        </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>在此粘贴 JSON 示例</source>
        <translation>Paste a JSON sample here</translation>
    </message>
    <message>
        <source>生成的代码会显示在这里</source>
        <translation>The generated code appears here</translation>
    </message>
    <message>
        <source>生成的代码</source>
        <translation>Generated code</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>转换 (Ctrl+Return)</source>
        <translation>Convert (Ctrl+Return)</translation>
    </message>
    <message>
        <source>请输入JSON字符串</source>
        <translation>Please enter a JSON text</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>代码文件未能写入</source>
        <translation>The code files could not be written</translation>
    </message>
    <message numerus="yes">
        <source>有 %n 个代码文件未能写入</source>
        <translation>
            <numerusform>%n code file could not be written</numerusform>
            <numerusform>%n code files could not be written</numerusform>
        </translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open Folder</translation>
    </message>
    <message>
        <source>JSON 格式不正确</source>
        <translation>This is not valid JSON</translation>
    </message>
    <message>
        <source>第 %1 行，第 %2 列：%3</source>
        <translation>Line %1, column %2: %3</translation>
    </message>
    <message numerus="yes">
        <source>已将 %n 个文件写入 %1</source>
        <translation>
            <numerusform>%n file written to %1</numerusform>
            <numerusform>%n files written to %1</numerusform>
        </translation>
    </message>
    <message>
        <source>无法打开文件夹</source>
        <translation>The folder could not be opened</translation>
    </message>
</context>
<context>
    <name>morvex::ScreenContext</name>
    <message>
        <source>选择代码输出路径</source>
        <translation>Choose the Output Folder</translation>
    </message>
</context>
<context>
    <name>morvex::SettingViewController</name>
    <message>
        <source>输出配置</source>
        <translation>Output Settings</translation>
    </message>
    <message>
        <source>代码输出路径：</source>
        <translation>Output folder:</translation>
    </message>
    <message>
        <source>Class/类</source>
        <translation>Class</translation>
    </message>
    <message>
        <source>Struct/结构体</source>
        <translation>Struct</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>手动解析</source>
        <translation>Hand-written parsing</translation>
    </message>
    <message>
        <source>MJExtension解析</source>
        <translation>MJExtension parsing</translation>
    </message>
    <message>
        <source>代码署名:</source>
        <translation>Author:</translation>
    </message>
    <message>
        <source>版权描述:</source>
        <translation>Copyright:</translation>
    </message>
    <message>
        <source>类名前缀:</source>
        <translation>Prefix:</translation>
    </message>
    <message>
        <source>模型名称:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>基类/协议:</source>
        <translation>Base:</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>选择代码输出路径是必须的</source>
        <translation>Please choose an output folder</translation>
    </message>
    <message>
        <source>输入项都不能为空</source>
        <translation>No field may be empty</translation>
    </message>
    <message>
        <source>代码署名</source>
        <translation>Author</translation>
    </message>
    <message>
        <source>版权描述</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>类名前缀</source>
        <translation>Prefix</translation>
    </message>
    <message>
        <source>模型名称</source>
        <translation>Model name</translation>
    </message>
    <message>
        <source>输入项不能包含英文逗号“,”</source>
        <translation>Fields cannot contain a comma “,”</translation>
    </message>
    <message>
        <source>“%1”中有英文逗号，请删除或改用中文逗号“，”。</source>
        <translation>“%1” contains a comma. Please remove it or use the full-width comma “，”.</translation>
    </message>
    <message>
        <source>设置未能保存</source>
        <translation>The settings could not be saved</translation>
    </message>
</context>
<context>
    <name>morvex::StandardUserDriver</name>
    <message>
        <source>软件更新</source>
        <translation>Software Update</translation>
    </message>
    <message>
        <source>Morvex V%1(%2) 已是最新版本。</source>
        <translation>Morvex V%1(%2) is up to date.</translation>
    </message>
    <message>
        <source>Morvex V%1(%2) 可以下载了，当前版本为 V%3(%4)。</source>
        <translation>Morvex V%1(%2) is available. You have V%3(%4).</translation>
    </message>
    <message>
        <source>正在检查更新…</source>
        <translation>Checking for updates…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>发现新版本</source>
        <translation>A New Version Is Available</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>以后再说</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>检查更新失败：%1</source>
        <translation>The update check failed: %1</translation>
    </message>
</context>
<context>
    <name>morvex::UIViewController</name>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>morvex::Updater</name>
    <message>
        <source>更新地址不安全</source>
        <translation>The update address is not secure</translation>
    </message>
    <message>
        <source>无法连接更新服务器</source>
        <translation>The update server could not be reached</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>The connection timed out</translation>
    </message>
    <message>
        <source>安全连接失败</source>
        <translation>The secure connection failed</translation>
    </message>
    <message>
        <source>重定向次数过多</source>
        <translation>Too many redirects</translation>
    </message>
    <message>
        <source>网络错误</source>
        <translation>Network error</translation>
    </message>
    <message>
        <source>更新信息格式不正确</source>
        <translation>The update information is malformed</translation>
    </message>
    <message>
        <source>更新信息过大</source>
        <translation>The update information is too large</translation>
    </message>
    <message>
        <source>服务器返回错误（HTTP %1）</source>
        <translation>The server answered with an error (HTTP %1)</translation>
    </message>
</context>
</TS>
